#include "window/main_form.h"

#include "window/map_diagnostics.h"

#include "fit/layout_fitness.h"
#include "display/map_view.h"
#include "io/layout_csv.h"
#include "export/map_export.h"
#include "export/painter_surface.h"
#include "export/table_export.h"
#include "window/picture_box.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

// The save commands of the window: the context menus of the map and the
// table, and what their entries do.
namespace tessarin {

void MainForm::createMenus()
{
    auto entry = [this](QMenu *menu, const char *name, const QString &text, void (MainForm::*slot)()) {
        QAction *action = menu->addAction(text, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_mapMenu = new QMenu(this);
    m_mapMenu->setObjectName(QStringLiteral("MapMenu"));
    m_saveMapPng = entry(m_mapMenu, "SaveMapPng", tr("Save map as PNG…"), &MainForm::saveMapPng);
    m_saveMapSvg = entry(m_mapMenu, "SaveMapSvg", tr("Save map as SVG…"), &MainForm::saveMapSvg);
    m_saveCoordinates =
        entry(m_mapMenu, "SaveCoordinates", tr("Save coordinates as CSV…"), &MainForm::saveCoordinatesCsv);
    m_copyCoordinates = entry(m_mapMenu, "CopyCoordinates", tr("Copy coordinates"), &MainForm::copyCoordinates);
    m_tableMenu = new QMenu(this);
    m_tableMenu->setObjectName(QStringLiteral("TableMenu"));
    m_saveTablePng = entry(m_tableMenu, "SaveTablePng", tr("Save table as PNG…"), &MainForm::saveTablePng);
    m_saveTableSvg = entry(m_tableMenu, "SaveTableSvg", tr("Save table as SVG…"), &MainForm::saveTableSvg);

    for (auto [box, menu] : {std::pair{m_distanceGraph, m_mapMenu}, std::pair{m_distanceBox, m_tableMenu}}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, [this, box, menu](const QPoint &at) {
            updateSaveActions();
            menu->popup(box->mapToGlobal(at));
        });
        connect(menu, &QMenu::aboutToShow, this, &MainForm::updateSaveActions);
    }
    m_diagnostics = new MapDiagnostics(*this);
    m_mapMenu->addSeparator();
    m_diagnostics->addActionsTo(m_mapMenu);
    updateSaveActions();
}

bool MainForm::canSaveMap() const
{
    const auto n = static_cast<std::size_t>(m_data.ItemCount);
    return m_mapDrawn && !m_running && !m_closing && n > 0 && m_bestLayout.size() == 2 * n + 1;
}

bool MainForm::canSaveTable() const
{
    return m_tableDrawn && !m_running && !m_closing && !m_data.empty();
}

void MainForm::updateSaveActions()
{
    const bool map = canSaveMap();
    for (QAction *action : {m_saveMapPng, m_saveMapSvg, m_saveCoordinates, m_copyCoordinates})
        action->setEnabled(map);
    const bool table = canSaveTable();
    for (QAction *action : {m_saveTablePng, m_saveTableSvg})
        action->setEnabled(table);
}

QString MainForm::suggestedName(const QString &ending) const
{
    if (m_dataFile.isEmpty())
        return QStringLiteral("map") + ending;
    const QFileInfo data(m_dataFile);
    return data.dir().filePath(data.completeBaseName() + ending);
}

MainForm::SaveChoice MainForm::chooseSaveFile(const SaveRequest &request)
{
    if (m_saveDialog)
        return m_saveDialog(request);
    QFileDialog dialog(this, request.title);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(0));
    dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFiles().value(0), std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())))};
}

void MainForm::savePicture(PictureBox *box, const std::function<void(PainterSurface &)> &replay, bool svg,
                           const QString &what, const QString &ending)
{
    const QStringList filters = svg ? QStringList{tr("SVG drawing (*.svg)")}
                                    : QStringList{tr("PNG image, twice the box size (*.png)"),
                                                  tr("PNG image, box size (*.png)")};
    const SaveChoice choice =
        chooseSaveFile({svg ? tr("Save %1 as SVG").arg(what) : tr("Save %1 as PNG").arg(what), filters,
                        svg ? QStringLiteral("svg") : QStringLiteral("png"), suggestedName(ending)});
    if (choice.path.isEmpty())
        return;
    const PictureFrame frame{box->size(), QSizeF(box->outerWidth(), box->outerHeight())};
    try {
        if (svg) {
            SaveBytes(choice.path, RenderSvg(frame, replay, tr("Tessarin %1 of %2").arg(what, QFileInfo(m_dataFile).fileName())));
        } else {
            const double scale = choice.filter == 1 ? 1.0 : 2.0;
            SaveBytes(choice.path, EncodePng(RenderImage(frame, scale, replay)));
        }
    } catch (const std::exception &error) {
        showError(tr("The %1 could not be saved as %2.\n\n%3")
                      .arg(what, choice.path, QString::fromLocal8Bit(error.what())));
    }
}

void MainForm::saveMap(bool svg)
{
    if (!canSaveMap()) {
        showError(tr("There is no map to save yet."));
        return;
    }
    // Drawn again as the window drew it: the map surface's colours and font,
    // the grid and label settings of the latest drawing, the best map.
    const int n = m_data.ItemCount;
    const double fit = LayoutFitness(m_data, m_bestLayout);
    savePicture(
        m_distanceGraph,
        [this, n, fit](PainterSurface &surface) {
            surface.copyStateFrom(m_distanceGraph->surface());
            PrepareMap(surface);
            DrawMap(surface, m_bestLayout.data(), n, fit, m_drawnMapSettings, m_data.Names);
            if (m_mapOverlay)
                m_mapOverlay(surface, m_bestLayout.data(), n);
        },
        svg, tr("map"), svg ? QStringLiteral("-map.svg") : QStringLiteral("-map.png"));
}

void MainForm::saveMapPng()
{
    saveMap(false);
}

void MainForm::saveMapSvg()
{
    saveMap(true);
}

void MainForm::saveCoordinatesCsv()
{
    if (!canSaveMap()) {
        showError(tr("There is no map to save yet."));
        return;
    }
    const SaveChoice choice = chooseSaveFile({tr("Save coordinates as CSV"),
                                              {tr("Coordinates, comma-separated (*.csv)")}, QStringLiteral("csv"),
                                              suggestedName(QStringLiteral("-map.csv"))});
    if (choice.path.isEmpty())
        return;
    try {
        SaveBytes(choice.path, QByteArray::fromStdString(LayoutCsvText(m_bestLayout, m_data.ItemCount, m_data.Names)));
    } catch (const std::exception &error) {
        showError(tr("The coordinates could not be saved as %1.\n\n%2")
                      .arg(choice.path, QString::fromLocal8Bit(error.what())));
    }
}

void MainForm::copyCoordinates()
{
    if (!canSaveMap()) {
        showError(tr("There is no map to copy yet."));
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(LayoutCsvText(m_bestLayout, m_data.ItemCount, m_data.Names)));
}

void MainForm::saveTable(bool svg)
{
    if (!canSaveTable()) {
        showError(tr("There is no table to save yet."));
        return;
    }
    savePicture(m_distanceBox, TableReplay(m_distanceBox->surface(), m_data, m_drawnSizeText), svg, tr("table"),
                svg ? QStringLiteral("-table.svg") : QStringLiteral("-table.png"));
}

void MainForm::saveTablePng()
{
    saveTable(false);
}

void MainForm::saveTableSvg()
{
    saveTable(true);
}

} // namespace tessarin
