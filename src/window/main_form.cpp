#include "window/main_form.h"

#include "window/map_diagnostics.h"

#include "data/distance_file.h"
#include "data/layout_fitness.h"
#include "data/distance_reader.h"
#include "data/lenient_number.h"
#include "data/shown_text.h"
#include "data/tessarin_error.h"
#include "display/distance_table_view.h"
#include "display/map_view.h"
#include "search/layout_search.h"
#include "window/item_tooltips.h"
#include "window/map_export.h"
#include "window/painter_surface.h"
#include "window/help_boxes.h"
#include "window/map_commands.h"
#include "window/menu_bar.h"
#include "window/picture_box.h"
#include "window/reading_notice.h"
#include "window/window_closing.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <future>
#include <iostream>

namespace tessarin {

namespace {

/// Draws a whole view with one painter on the box, however it ends.
class DrawingScope {
public:
    explicit DrawingScope(PictureBox &box, PictureBox::Pause pause = {}) : m_box(box)
    {
        m_box.beginDrawing(std::move(pause));
    }
    ~DrawingScope() { m_box.endDrawing(); }
    DrawingScope(const DrawingScope &) = delete;
    DrawingScope &operator=(const DrawingScope &) = delete;

private:
    PictureBox &m_box;
};

QRect pixelRect(int left, int top, int width, int height)
{
    constexpr int t = MainForm::TwipsPerPixel;
    return {qRound(left / double(t)), qRound(top / double(t)), qRound(width / double(t)),
            qRound(height / double(t))};
}

std::string textOf(const QLineEdit *box)
{
    return box->text().toStdString();
}

} // namespace

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
    createControls();
    setAcceptDrops(true);
    m_tooltips = new ItemTooltips(
        m_distanceBox, m_distanceGraph, [this] { return m_tableDrawn && !m_running ? &m_data : nullptr; },
        [this] { return canSaveMap() ? &m_bestLayout : nullptr; }, this);
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

    connect(m_openButton, &QPushButton::clicked, this, &MainForm::openFile);
    connect(m_moreFit, &QPushButton::clicked, this, &MainForm::rerun);
    connect(m_stopButton, &QPushButton::clicked, this, &MainForm::stop);

    createMenus();
    m_saveMapPng->setShortcut(QKeySequence::Save);
    m_menuBar = new MenuBar(*this, {m_saveMapPng, m_saveMapSvg, m_saveCoordinates, m_saveTablePng, m_saveTableSvg});
    m_requestedOuterSize = QSizeF(10500, 6700);
    resize(pixelRect(0, 0, 10500, 6700).size() + QSize(0, menuBarHeight()));
    m_diagnostics->addActionsTo(m_menuBar->mapCommandsMenu());
}

void MainForm::drawTable()
{
    m_tableDrawn = false;
    m_drawnSizeText = textOf(m_sizeText);
    {
        // The table is drawn in one pass, cell after cell, from the data and
        // the size text as they are now. Between cells the window takes its
        // events about every PauseMilliseconds, so that a large table does
        // not freeze it and Close ends the program at once; no command can
        // start meanwhile (as during a search), and the sizing rule of a
        // resize waits for the end of the drawing, as it would replace the
        // box's image when the size text has been changed.
        const QScopedValueRollback<bool> running(m_running, true);
        const QScopedValueRollback<bool> deferred(m_sizingDeferred, true);
        const DrawingScope scope(*m_distanceBox, [this] { processEvents(); });
        try {
            DistanceMatrix(*m_distanceBox, m_data, m_drawnSizeText);
        } catch (const WindowClosing &) {
            throw;
        } catch (...) {
            m_sizingDeferred = false;
            applyDeferredSizing();
            throw;
        }
    }
    applyDeferredSizing();
    m_tableDrawn = true;
}

void MainForm::applyDeferredSizing()
{
    if (!m_sizingPending || m_sizingDeferred)
        return;
    m_sizingPending = false;
    sizeOnEvent();
}

DistanceData MainForm::readDistances(const QString &path)
{
    // Read beside the window, which meanwhile takes its events as while the
    // table is drawn: a Close ends the program as soon as the reading has,
    // without a frozen window in between.
    const QScopedValueRollback<bool> running(m_running, true);
    const std::string name = QFile::encodeName(path).toStdString();
    auto reading = std::async(std::launch::async, [name] { return ReadDistanceFile(name); });
    while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready && !m_closing)
        QCoreApplication::processEvents();
    if (m_closing) {
        reading.wait();
        throw WindowClosing{};
    }
    return reading.get();
}

void MainForm::applySizingRule()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    // Our own resizes raise resize events, which the rule running already
    // answers. Any other resize that reaches the rule while it runs (the
    // window manager's, delivered while the rule resizes the window) is not
    // dropped: the rule runs again once it is done, so the window ends at
    // the rule's size.
    if (m_sizing) {
        if (size() != m_sizingTarget)
            m_sizeAgain = true;
        return;
    }
    const QScopedValueRollback<bool> guard(m_sizing, true);
    for (int round = 0; round < 4; ++round) {
        m_sizeAgain = false;
        applySizingRuleOnce();
        if (!m_sizeAgain)
            break;
    }
}

void MainForm::applySizingRuleOnce()
{

    // Each step reads the box afresh, as the text may change between steps
    // while events are processed.
    auto side = [this] {
        const std::string text = textOf(m_sizeText);
        const auto refused = [&] {
            return TessarinError("Picture Size: " + ShownText(text) + " is not a size the window can take");
        };
        double s;
        try {
            s = LenientNumber(text);
        } catch (const TessarinError &) {
            throw refused();
        }
        const double largest = double(QWIDGETSIZE_MAX) * TwipsPerPixel / 2;
        if (!(s >= 0) || s > largest)
            throw refused();
        return s;
    };

    double width = 2 * side() + 500;
    if (width < 10000)
        width = 10000;
    const double height = side() + 1700;
    m_requestedOuterSize = QSizeF(width, height);
    const QSize outer(qRound(width / TwipsPerPixel), qRound(height / TwipsPerPixel));
    // Outer size is the frame's size; without a frame it is the client size.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    // The menu bar is window chrome, as the title bar is: it comes on top.
    m_sizingTarget = (outer - frame + QSize(0, menuBarHeight())).expandedTo(QSize(0, 0));
    resize(m_sizingTarget);
    // A window system may not answer a resize it received while it was
    // still carrying out another (the user's), and Qt then takes the size
    // as granted: the request goes out once more when things have settled.
    if (isVisible() && windowHandle())
        QTimer::singleShot(SettleMilliseconds, this, &MainForm::confirmSize);

    m_distanceBox->setTwipsGeometry(120, 1200, side(), side());
    const double graphLeft = side() + 250;
    m_distanceGraph->setTwipsGeometry(graphLeft, 1200, side(), side());
}

void MainForm::confirmSize()
{
    if (m_sizing || m_sizingDeferred || m_closing || !isVisible() || !windowHandle() ||
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    if (size() == m_sizingTarget)
        windowHandle()->resize(m_sizingTarget);
}

void MainForm::applySettings(SettingsForm form)
{
    ApplyMapSettings(*m_distanceGraph, DisplaySettings{textOf(m_backText), textOf(m_foreText), textOf(m_fontText)},
                     form);
}

void MainForm::sizeOnEvent()
{
    if (m_sizingDeferred) {
        m_sizingPending = true;
        return;
    }
    // A size refused during a resize by the user keeps the sizes as they are;
    // the Rerun command reports it.
    try {
        applySizingRule();
    } catch (const TessarinError &) {
    }
}

int MainForm::menuBarHeight() const
{
    // A menu bar the desktop shows outside the window takes no room in it.
    return m_menuBar && !m_menuBar->isNativeMenuBar() ? m_menuBar->sizeHint().height() : 0;
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int bar = menuBarHeight();
    if (m_menuBar)
        m_menuBar->setGeometry(0, 0, width(), bar);
    m_clientArea->setGeometry(0, bar, width(), std::max(0, height() - bar));
    sizeOnEvent();
}

void MainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        sizeOnEvent();
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

void MainForm::startUp(const QString &fileName, StartFile start)
{
    try {
        applySettings(SettingsForm::StartUp);
    } catch (const TessarinError &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    setWindowTitle(TitleText + fileName);
    show();
    setBusy(true);
    try {
        try {
            m_data = readDistances(fileName);
        } catch (const std::exception &error) {
            std::cerr << "tessarin: " << error.what() << '\n';
            endRun();
            if (start == StartFile::Named)
                showError(tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
            return;
        }
        showReadingNotice(fileName);
        m_dataFile = fileName;
        m_mapDrawn = m_tableDrawn = false;
        drawTable();
        runSearch();
    } catch (const WindowClosing &) {
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
    }
    endRun();
}

void MainForm::openFile()
{
    if (m_running || m_closing)
        return;
    const QString path = chooseFile();
    if (m_closing)
        return;
    openPath(path);
}

void MainForm::openPath(const QString &path)
{
    if (m_running || m_closing)
        return;
    setWindowTitle(TitleText + path);
    if (path.isEmpty())
        return;

    try {
        // Assigned only when the whole file has been read: a bad file leaves
        // the data, table, map and best layout of the previous run.
        m_data = readDistances(path);
    } catch (const WindowClosing &) {
        return;
    } catch (const std::exception &error) {
        showError(tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    showReadingNotice(path);
    m_dataFile = path;
    m_mapDrawn = m_tableDrawn = false;
    drawAndSearch(tr("The map of %1 could not be made.").arg(path));
}

void MainForm::rerun()
{
    if (m_running || m_closing)
        return;
    try {
        applySizingRule();
        // Tried on an empty stand-in first: a new background colour erases
        // the map, so a value refused after it would leave the map erased.
        PictureBox standIn;
        standIn.setTwipsGeometry(0, 0, 0, 0);
        ApplyMapSettings(standIn, DisplaySettings{textOf(m_backText), textOf(m_foreText), textOf(m_fontText)},
                         SettingsForm::Rerun);
        applySettings(SettingsForm::Rerun);
    } catch (const TessarinError &error) {
        showError(tr("The settings cannot be used.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    m_stopRequested = 0;
    if (m_data.empty()) {
        showError(tr("There is no distance table to fit yet: open a distance file first."));
        return;
    }
    setBusy(true);
    drawAndSearch(tr("The map of %1 could not be refined.").arg(m_dataFile));
}

void MainForm::drawAndSearch(const QString &failure)
{
    try {
        drawTable();
        runSearch();
    } catch (const WindowClosing &) {
    } catch (const std::exception &error) {
        endRun();
        showError(failure + QStringLiteral("\n\n") + QString::fromStdString(error.what()));
        return;
    }
    endRun();
}

void MainForm::stop()
{
    m_stopRequested = 1;
}

void MainForm::quit()
{
    close();
}

void MainForm::classicalStart()
{
    runMapCommand(MapCommand::ClassicalStart);
}

void MainForm::polish()
{
    runMapCommand(MapCommand::Polish);
}

void MainForm::bestMap()
{
    runMapCommand(MapCommand::BestMap);
}

void MainForm::runMapCommand(MapCommand command)
{
    if (m_running || m_closing)
        return;
    if (m_data.empty()) {
        showError(tr("There is no distance table to map yet: open a distance file first."));
        return;
    }
    // As for Rerun: a Stop from before does not end the new command at once.
    m_stopRequested = 0;
    const QString fitBefore = m_fitBox->text();
    const QString progressBefore = m_gaGenText->text();
    const bool mapDrawnBefore = m_mapDrawn;
    setBusy(true);
    try {
        const QScopedValueRollback<bool> running(m_running, true);
        setOpenEnabled(false);
        updateSaveActions();
        MapCommandResult result = m_mapCommandRunner(command, *this, m_data, m_bestLayout);
        // Written only when the command has ended: an error or a close leaves
        // the best map as it was.
        m_bestLayout = std::move(result.layout);
    } catch (const WindowClosing &) {
    } catch (const std::exception &error) {
        m_mapDrawn = mapDrawnBefore;
        redrawBestLayout();
        m_fitBox->setText(fitBefore);
        m_gaGenText->setText(progressBefore);
        endRun();
        showError(tr("%1 could not make a map of %2.\n\n%3")
                      .arg(QString::fromStdString(MapCommandName(command)), m_dataFile,
                           QString::fromStdString(error.what())));
        return;
    }
    endRun();
}

void MainForm::redrawBestLayout()
{
    try {
        const DrawingScope scope(*m_distanceGraph);
        if (canSaveMap())
            DrawMap(*m_distanceGraph, m_bestLayout.data(), m_data.ItemCount, 0.0, m_drawnMapSettings, m_data.Names);
        else
            m_distanceGraph->clear();
    } catch (const std::exception &) {
        // The message about the first error says enough.
    }
}

void MainForm::showAbout()
{
    ShowHelpBox(this, "AboutBox", tr("About Tessarin"), AboutText());
}

void MainForm::showFileFormat()
{
    ShowHelpBox(this, "FileFormatBox", tr("The distance file format"), FileFormatText());
}

void MainForm::runSearch()
{
    const QScopedValueRollback<bool> running(m_running, true);
    updateSaveActions();
    emit searchStarted();
    m_lastRunGenerations = RunFit(*this, m_data, m_bestLayout, m_random);
}

void MainForm::endRun()
{
    setBusy(false);
    if (!m_closing)
        setOpenEnabled(true);
    updateSaveActions();
    emit runEnded();
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
    const QString text = ReadingNoticeText(fileName, m_data);
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

void MainForm::prepareMap()
{
    PrepareMap(*m_distanceGraph);
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

std::string MainForm::generationsText()
{
    return textOf(m_gaGensText);
}

void MainForm::drawImprovement(const float *layout, int itemCount, double fit)
{
    if (m_closing)
        throw WindowClosing{};
    const MapSettings settings{m_showGrid->isChecked() ? 1 : 0, textOf(m_foreText)};
    std::string fitText;
    {
        const DrawingScope scope(*m_distanceGraph);
        fitText = DrawMap(*m_distanceGraph, layout, itemCount, fit, settings, m_data.Names);
    }
    m_fitBox->setText(QString::fromStdString(fitText));
    m_drawnMapSettings = settings;
    m_mapDrawn = true;
    emit improvementDrawn(QList<float>(layout, layout + 2 * static_cast<qsizetype>(itemCount) + 1), fit);
    processEvents();
}

void MainForm::showGeneration(const std::string &text)
{
    m_gaGenText->setText(QString::fromStdString(text));
}

void MainForm::processEvents()
{
    if (m_closing)
        throw WindowClosing{};
    QCoreApplication::processEvents();
    if (m_closing)
        throw WindowClosing{};
}

bool MainForm::stopRequested()
{
    return m_stopRequested == 1;
}

void MainForm::redrawMap()
{
    if (!canSaveMap())
        return;
    const int n = m_data.ItemCount;
    const double fit = LayoutFitness(m_data, m_bestLayout);
    const DrawingScope scope(*m_distanceGraph);
    DrawMap(*m_distanceGraph, m_bestLayout.data(), n, fit, m_drawnMapSettings, m_data.Names);
    if (m_mapOverlay)
        m_mapOverlay(*m_distanceGraph, m_bestLayout.data(), n);
}

} // namespace tessarin
