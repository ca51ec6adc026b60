#include "window/shepard_window.h"

#include "display/shepard_view.h"
#include "base/str_n.h"
#include "export/map_export.h"
#include "export/painter_surface.h"
#include "window/picture_box.h"
#include "export/shepard_export.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessarin {

ShepardWindow::ShepardWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ShepardWindow"));
    setWindowTitle(tr("Shepard diagram"));

    const PictureFrame frame = ShepardFrame();
    m_box = new PictureBox(this);
    m_box->setObjectName(QStringLiteral("ShepardBox"));
    m_box->setTwipsGeometry(0, 0, frame.twips.width(), frame.twips.height());
    m_box->setFixedSize(frame.pixels);
    // Texts painted, not stamped, as its exports draw them (ShepardReplay).
    m_box->setTextStamps(false);

    m_stressText = new QLabel(tr("No map yet: the diagram appears when a run ends."), this);
    m_stressText->setObjectName(QStringLiteral("StressText"));
    m_stressText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_worstItems = new QTableWidget(0, 3, this);
    m_worstItems->setObjectName(QStringLiteral("WorstItems"));
    m_worstItems->setHorizontalHeaderLabels({tr("Item"), tr("Name"), tr("Share of stress (%)")});
    m_worstItems->verticalHeader()->hide();
    m_worstItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_worstItems->horizontalHeader()->setStretchLastSection(true);
    m_worstItems->setMinimumWidth(MinimumListWidth);
    // A long name shows on one line, shortened in its middle.
    m_worstItems->setWordWrap(false);
    m_worstItems->setTextElideMode(Qt::ElideMiddle);

    m_savePng = new QPushButton(tr("Save as PNG…"), this);
    m_savePng->setObjectName(QStringLiteral("SaveShepardPng"));
    m_saveSvg = new QPushButton(tr("Save as SVG…"), this);
    m_saveSvg->setObjectName(QStringLiteral("SaveShepardSvg"));
    connect(m_savePng, &QPushButton::clicked, this, &ShepardWindow::savePng);
    connect(m_saveSvg, &QPushButton::clicked, this, &ShepardWindow::saveSvg);

    auto *side = new QVBoxLayout;
    side->addWidget(m_stressText);
    side->addWidget(new QLabel(tr("Worst-placed items:"), this));
    side->addWidget(m_worstItems, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_savePng);
    buttons->addWidget(m_saveSvg);
    side->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_box, 0, Qt::AlignTop);
    layout->addLayout(side);
    for (QPushButton *button : {m_savePng, m_saveSvg})
        button->setEnabled(false);
}

void ShepardWindow::showFigures(std::shared_ptr<const StressFigures> figures, const std::vector<std::string> &names,
                                const QString &fileName)
{
    m_figures = std::move(figures);
    m_fileName = fileName;
    if (!m_figures)
        return;
    const StressFigures &f = *m_figures;
    const QString file = QFileInfo(fileName).fileName();
    setWindowTitle(file.isEmpty() ? tr("Shepard diagram") : tr("Shepard diagram of %1").arg(file));
    m_stressText->setText(tr("Fit: %1 %    Stress-1: %2\n%3 items, %4 pairs")
                              .arg(QString::fromStdString(strN(6, f.fit * 100)).trimmed(),
                                   QString::fromStdString(SignificantText(f.stress1, 6)))
                              .arg(f.itemCount)
                              .arg(static_cast<qulonglong>(f.pairCount)));

    const std::vector<int> worst = WorstPlacedItems(f.pointShares, WorstShown);
    const bool named = names.size() == f.pointShares.size();
    m_worstItems->setColumnHidden(1, !named);
    m_worstItems->setRowCount(static_cast<int>(worst.size()));
    for (int row = 0; row < static_cast<int>(worst.size()); ++row) {
        const int item = worst[static_cast<std::size_t>(row)];
        auto cell = [&](int column, const QString &text, Qt::Alignment alignment) {
            auto *entry = new QTableWidgetItem(text);
            entry->setTextAlignment(alignment | Qt::AlignVCenter);
            m_worstItems->setItem(row, column, entry);
        };
        cell(0, QString::number(item), Qt::AlignRight);
        cell(1, named ? QString::fromStdString(names[static_cast<std::size_t>(item - 1)]) : QString(), Qt::AlignLeft);
        m_worstItems->item(row, 1)->setToolTip(m_worstItems->item(row, 1)->text());
        cell(2, QString::number(f.pointShares[static_cast<std::size_t>(item - 1)], 'f', 2), Qt::AlignRight);
    }
    fitColumns();
    draw();
    for (QPushButton *button : {m_savePng, m_saveSvg})
        button->setEnabled(true);
}

void ShepardWindow::fitColumns()
{
    m_worstItems->resizeColumnsToContents();
    // A long name is shown shortened (its cell's tooltip holds it whole), so
    // that the share column stays in view beside it.
    const QFontMetrics metrics(m_worstItems->font());
    const int longestName = metrics.horizontalAdvance(QLatin1Char('x')) * NameColumnCharacters;
    if (m_worstItems->columnWidth(1) > longestName)
        m_worstItems->setColumnWidth(1, longestName);
    // Room for the scroll bar a short window gives the list.
    int needed = 2 * m_worstItems->frameWidth() + m_worstItems->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_worstItems->columnCount(); ++column)
        if (!m_worstItems->isColumnHidden(column))
            needed += m_worstItems->columnWidth(column);
    m_worstItems->setMinimumWidth(std::max(MinimumListWidth, needed));
}

void ShepardWindow::draw()
{
    m_box->beginDrawing();
    DrawShepard(*m_box, *m_figures, QFileInfo(m_fileName).fileName().toStdString());
    m_box->endDrawing();
}

void ShepardWindow::savePng()
{
    save(false);
}

void ShepardWindow::saveSvg()
{
    save(true);
}

void ShepardWindow::save(bool svg)
{
    if (!m_figures) {
        showError(tr("There is no Shepard diagram to save yet."));
        return;
    }
    const QStringList filters = svg ? QStringList{tr("SVG drawing (*.svg)")}
                                    : QStringList{tr("PNG image, twice the box size (*.png)"),
                                                  tr("PNG image, box size (*.png)")};
    const QString ending = svg ? QStringLiteral("-shepard.svg") : QStringLiteral("-shepard.png");
    QString suggested = QStringLiteral("shepard") + ending.mid(8);
    if (!m_fileName.isEmpty()) {
        const QFileInfo data(m_fileName);
        suggested = data.dir().filePath(data.completeBaseName() + ending);
    }
    const MainForm::SaveRequest request{svg ? tr("Save Shepard diagram as SVG") : tr("Save Shepard diagram as PNG"),
                                        filters, svg ? QStringLiteral("svg") : QStringLiteral("png"), suggested};
    MainForm::SaveChoice choice;
    if (m_saveDialog) {
        choice = m_saveDialog(request);
    } else {
        QFileDialog dialog(this, request.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setNameFilters(request.filters);
        dialog.selectFile(request.suggestedName);
        if (dialog.exec() == QDialog::Accepted)
            choice = {dialog.selectedFiles().value(0),
                      std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())))};
    }
    if (choice.path.isEmpty())
        return;
    try {
        const Replay replay = ShepardReplay(m_figures, QFileInfo(m_fileName).fileName().toStdString());
        if (svg)
            SaveBytes(choice.path, RenderSvg(ShepardFrame(), replay, windowTitle()));
        else
            SaveBytes(choice.path, EncodePng(RenderImage(ShepardFrame(), choice.filter == 1 ? 1.0 : 2.0, replay)));
    } catch (const std::exception &error) {
        showError(tr("The Shepard diagram could not be saved as %1.\n\n%2")
                      .arg(choice.path, QString::fromLocal8Bit(error.what())));
    }
}

void ShepardWindow::showError(const QString &text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        QMessageBox::critical(this, tr("Tessarin"), text);
}

} // namespace tessarin
