#include "window/main_form.h"

#include "window/drawing_scope.h"

#include "fit/layout_fitness.h"
#include "display/map_view.h"
#include "window/item_tooltips.h"
#include "window/help_boxes.h"
#include "window/menu_bar.h"
#include "window/picture_box.h"
#include "window/reading_notice.h"
#include "window/run_control.h"
#include "window/save_commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace tessarin {

std::string MainForm::textOf(const QLineEdit *box)
{
    return box->text().toStdString();
}

const QString MainForm::TitleText = QStringLiteral("Tessarin   Beta version.    Orlevant, February 2002     ");

MainForm::MainForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    // The controls were laid out for an 8-point sans serif; a larger default
    // font would not fit the labels' widths.
    QFont controlFont(QStringLiteral("Liberation Sans"));
    controlFont.setPointSize(8);
    setFont(controlFont);
    // The controls stand in the client area below the menu bar, at the
    // places and sizes the form gives them.
    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("ClientArea"));
    m_runControl = std::make_unique<RunControl>(*this);
    createControls();
    setAcceptDrops(true);
    m_tooltips = new ItemTooltips(
        m_distanceBox, m_distanceGraph, [this] { return m_tableDrawn && !m_running ? &m_data : nullptr; },
        [this] { return canSaveMap() ? &m_bestLayout : nullptr; }, this);
    m_tooltips->setGroups([this] { return &m_groups; });
}

MainForm::~MainForm() = default;

void MainForm::setSaveDialog(SaveChooser chooser)
{
    m_saveCommands->setSaveDialog(std::move(chooser));
}

void MainForm::setMapCommandRunner(MapCommandRunner runner)
{
    m_runControl->setMapCommandRunner(std::move(runner));
}

QSizeF MainForm::requestedOuterSize() const
{
    return m_sizingRule->requestedOuterSize();
}

short MainForm::stopFlag() const
{
    return m_runControl->stopFlag();
}

long long MainForm::lastRunGenerations() const
{
    return m_runControl->lastRunGenerations();
}

bool MainForm::replaceBestLayout(const Layout &layout)
{
    return m_runControl->replaceBestLayout(layout);
}

bool MainForm::loadTable(const QString &path, const DistanceSource &source, const QString &weightsFile)
{
    return m_runControl->loadTable(path, source, weightsFile);
}

QMenu *MainForm::mapMenu() const
{
    return m_saveCommands->mapMenu();
}

QMenu *MainForm::tableMenu() const
{
    return m_saveCommands->tableMenu();
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

void MainForm::startUp(const QString &fileName, StartFile start)
{
    m_runControl->startUp(fileName, start == StartFile::Named);
}

void MainForm::openFile()
{
    m_runControl->openFile();
}

void MainForm::openPath(const QString &path)
{
    m_runControl->openPath(path);
}

void MainForm::openDataTable()
{
    m_runControl->openDataTable();
}

void MainForm::openSource(const QString &path, const DistanceSource &source)
{
    m_runControl->openSource(path, source);
}

std::vector<std::string> MainForm::groupOfItems() const
{
    std::vector<std::string> groups;
    for (int g : m_groups.groupOf)
        groups.push_back(m_groups.names[static_cast<std::size_t>(g)]);
    return groups;
}

void MainForm::rerun()
{
    m_runControl->rerun();
}

void MainForm::stop()
{
    m_runControl->stop();
}

void MainForm::classicalStart()
{
    m_runControl->runMapCommand(MapStage::ClassicalStart);
}

void MainForm::polish()
{
    m_runControl->runMapCommand(MapStage::Polish);
}

void MainForm::bestMap()
{
    m_runControl->runMapCommand(MapStage::BestMap);
}

void MainForm::saveMapPng()
{
    m_saveCommands->saveMapPng();
}

void MainForm::saveMapSvg()
{
    m_saveCommands->saveMapSvg();
}

void MainForm::saveCoordinatesCsv()
{
    m_saveCommands->saveCoordinatesCsv();
}

void MainForm::copyCoordinates()
{
    m_saveCommands->copyCoordinates();
}

void MainForm::saveTablePng()
{
    m_saveCommands->saveTablePng();
}

void MainForm::saveTableSvg()
{
    m_saveCommands->saveTableSvg();
}

void MainForm::applySizingRule()
{
    m_sizingRule->apply();
}

int MainForm::menuBarHeight() const
{
    // A menu bar the desktop shows outside the window takes no room in it.
    return m_menuBar && !m_menuBar->isNativeMenuBar() ? m_menuBar->sizeHint().height() : 0;
}

int MainForm::statusLineHeight() const
{
    return m_modelStatus && !m_modelStatus->isHidden() ? m_modelStatus->sizeHint().height() : 0;
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int bar = menuBarHeight();
    const int status = statusLineHeight();
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), bar);
    m_clientArea->setGeometry(0, bar, width(), std::max(0, height() - bar - status));
    if (status > 0)
        m_modelStatus->setGeometry(0, height() - status, width(), status);
    if (m_sizingRule)
        m_sizingRule->onResize();
}

void MainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_sizingRule)
        m_sizingRule->onResize();
}

void MainForm::applySettings(SettingsForm form)
{
    ApplyMapSettings(*m_distanceGraph, DisplaySettings{textOf(m_backText), textOf(m_foreText), textOf(m_fontText)},
                     form);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    event->accept();
}

namespace {

/// The one local file a drag carries, or an empty text.
QString droppedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().first().isLocalFile())
        return {};
    return mime->urls().first().toLocalFile();
}

} // namespace

void MainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_running && !m_closing && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || m_running || m_closing)
        return;
    event->acceptProposedAction();
    openPath(path);
}

void MainForm::quit()
{
    close();
}

void MainForm::showAbout()
{
    ShowHelpBox(this, "AboutBox", tr("About Tessarin"), AboutText());
}

void MainForm::showFileFormat()
{
    ShowHelpBox(this, "FileFormatBox", tr("The distance file format"), FileFormatText());
}

void MainForm::showFitHelp()
{
    ShowHelpBox(this, "FitHelpBox", tr("The fit and stress"), FitText());
}

void MainForm::showError(const QString &text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        QMessageBox::critical(this, tr("Tessarin"), text);
}

void MainForm::showReadingNotice(const QString &fileName)
{
    showNotice(ReadingNoticeText(fileName, m_data));
}

void MainForm::showNotice(const QString &text)
{
    if (text.isEmpty())
        return;
    if (m_noticeSink) {
        m_noticeSink(text);
        return;
    }
    // Shown, not run: it waits beside the window while the search goes on.
    if (m_notice)
        m_notice->close();
    auto *notice = new QMessageBox(QMessageBox::Information, tr("Tessarin"), text, QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("ReadingNotice"));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::NonModal);
    notice->show();
    m_notice = notice;
}

QString MainForm::chooseFile()
{
    if (m_dialog)
        return m_dialog();
    QFileDialog dialog(this, tr("Open Distance file ..."));
    dialog.setObjectName(QStringLiteral("Dialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QStringList filters = {tr("Distance file (*.txt)"), tr("Distance matrix (*.csv *.tsv)"),
                                 tr("PHYLIP distances (*.phy *.dist *.phylip)"), tr("All files (*.*)")};
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void MainForm::setOpenEnabled(bool enabled)
{
    // Rerun/More Fit and the map commands go with Open, so that no run
    // starts inside another.
    m_openButton->setEnabled(enabled);
    m_moreFit->setEnabled(enabled);
    m_menuBar->setCommandsEnabled(enabled);
}

void MainForm::setBusy(bool busy)
{
    // One pointer shape at a time, not a stack: busy twice and default once
    // gives the default pointer.
    if (busy) {
        if (QApplication::overrideCursor())
            QApplication::changeOverrideCursor(Qt::WaitCursor);
        else
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
}

void MainForm::redrawMap()
{
    if (!canSaveMap())
        return;
    const int n = m_data.ItemCount;
    const double fit = LayoutFitness(m_data, m_bestLayout);
    const DrawingScope scope(*m_distanceGraph);
    DrawMap(*m_distanceGraph, m_bestLayout.data(), n, fit, m_drawnMapSettings, m_data.Names, m_groups);
    if (m_mapOverlay)
        m_mapOverlay(*m_distanceGraph, m_bestLayout.data(), n);
}

} // namespace tessarin
