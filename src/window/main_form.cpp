#include "window/main_form.h"

#include "window/drawing_scope.h"
#include "window/map_diagnostics.h"
#include "explorer_window/map_explorer.h"

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
#include <QCheckBox>
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

namespace {

QRect pixelRect(int left, int top, int width, int height)
{
    constexpr int t = TwipsPerPixel;
    return {qRound(left / double(t)), qRound(top / double(t)), qRound(width / double(t)),
            qRound(height / double(t))};
}

} // namespace

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

void MainForm::createControls()
{
    // Created in tab order, so the focus chain follows the table of controls.
    auto textBox = [this](const char *name, const char *text, QRect where) {
        auto *box = new QLineEdit(QString::fromLatin1(text), m_clientArea);
        box->setObjectName(QString::fromLatin1(name));
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(where);
        return box;
    };
    auto label = [this](const char *name, const QString &text, QRect where) {
        auto *label = new QLabel(text, m_clientArea);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(where);
        return label;
    };
    auto button = [this](const char *name, const QString &text, QRect where) {
        auto *button = new QPushButton(text, m_clientArea);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(where);
        return button;
    };
    auto pictureBox = [this](const char *name, int left, int top, int width, int height) {
        auto *box = new PictureBox(m_clientArea);
        box->setObjectName(QString::fromLatin1(name));
        box->setTwipsGeometry(left, top, width, height);
        return box;
    };

    m_sizeText = textBox("SizeText", "5000", pixelRect(7200, 120, 735, 285));
    m_label1 = label("Label1", tr("Picture Size:"), pixelRect(6000, 120, 975, 255));
    m_label4 = label("Label4", tr("Fit:"), pixelRect(2040, 840, 855, 255));
    m_fitBox = textBox("FitBox", "0", pixelRect(3000, 840, 855, 285));
    m_distanceBox = pictureBox("DistanceBox", 120, 1200, 5000, 5000);
    m_openButton = button("OpenButton", tr("Open file"), pixelRect(240, 240, 1335, 375));
    m_openButton->setToolTip(tr("Open a *.pvn file previously saved from Polvane"));
    m_distanceGraph = pictureBox("DistanceGraph", 5280, 1200, 5000, 5000);
    m_moreFit = button("MoreFit", tr("Rerun/More Fit"), pixelRect(240, 600, 1335, 375));
    m_label2 = label("Label2", tr("Graph Background (0=black, 15=white):"), pixelRect(3840, 480, 3255, 255));
    m_label3 = label("Label3", tr("Digit color (0=black,15=white, -1=various):"), pixelRect(3960, 840, 3135, 255));
    m_backText = textBox("BackText", "0", pixelRect(7200, 480, 735, 285));
    m_foreText = textBox("ForeText", "-1", pixelRect(7200, 840, 735, 285));
    m_label5 = label("Label5", tr("Fontsize:"), pixelRect(8160, 120, 975, 255));
    m_showGrid = new QCheckBox(tr("Show gridlines:"), m_clientArea);
    m_showGrid->setObjectName(QStringLiteral("ShowGrid"));
    m_showGrid->setLayoutDirection(Qt::RightToLeft);
    m_showGrid->setChecked(true);
    m_showGrid->setGeometry(pixelRect(8160, 480, 1455, 255));
    m_fontText = textBox("FontText", "18", pixelRect(9240, 120, 495, 285));
    m_label6 = label("Label6", tr("GA generations:"), pixelRect(1680, 120, 1215, 255));
    m_label7 = label("Label7", tr("GA generation:"), pixelRect(1560, 480, 1335, 255));
    m_gaGenText = textBox("GAgenText", "0", pixelRect(3000, 480, 855, 285));
    m_gaGensText = textBox("GAgensText", "1000", pixelRect(3000, 120, 855, 285));
    m_stopButton = button("StopButton", tr("Stop"), pixelRect(8280, 800, 1455, 320));

    // The two outputs can be selected and copied but not typed into, and the
    // Tab key passes them by.
    for (QLineEdit *output : {m_fitBox, m_gaGenText}) {
        output->setReadOnly(true);
        output->setFocusPolicy(Qt::ClickFocus);
    }

    const QList<QWidget *> tabChain = {m_sizeText, m_openButton, m_moreFit,  m_backText,  m_foreText,
                                       m_showGrid, m_fontText,   m_gaGensText, m_stopButton};
    for (qsizetype i = 1; i < tabChain.size(); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);

    m_sizingRule = std::make_unique<SizingRule>(
        *this, *m_sizeText, *m_distanceBox, *m_distanceGraph,
        // The menu bar on top and the model's status line below are window
        // chrome, as the title bar is.
        [this] { return menuBarHeight() + statusLineHeight(); },
        [this] { return m_closing; });

    connect(m_openButton, &QPushButton::clicked, this, &MainForm::openFile);
    connect(m_moreFit, &QPushButton::clicked, this, &MainForm::rerun);
    connect(m_stopButton, &QPushButton::clicked, this, &MainForm::stop);

    m_saveCommands = new SaveCommands(*this);
    m_diagnostics = new MapDiagnostics(*this);
    m_saveCommands->mapMenu()->addSeparator();
    m_diagnostics->addActionsTo(m_saveCommands->mapMenu());
    m_saveCommands->updateActions();
    const QList<QAction *> fileActions = m_saveCommands->fileActions();
    fileActions.first()->setShortcut(QKeySequence::Save);
    m_menuBar = new MenuBar(*this, fileActions);
    // The model's status line under the form, shown once a stress model is
    // chosen; the map commands run under the chosen model.
    m_modelStatus = new QLabel(this);
    m_modelStatus->setObjectName(QStringLiteral("ModelStatus"));
    m_modelStatus->setContentsMargins(6, 2, 6, 2);
    m_modelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_modelStatus->hide();
    m_runControl->setMapCommandRunner([this](MapStage command, const DistanceData &data, const Layout &best,
                                             RunObserver &observer) {
        MapStageSettings settings;
        settings.model = m_model;
        return RunMapStage(command, data, best, settings, observer);
    });
    m_sizingRule->setRequestedOuterSize(QSizeF(10500, 6700));
    resize(pixelRect(0, 0, 10500, 6700).size() + QSize(0, menuBarHeight()));
    m_diagnostics->addActionsTo(m_menuBar->mapCommandsMenu());
    m_explorer = new MapExplorer(*this);
}

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
