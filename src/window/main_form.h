#pragma once

#include "data/distance_data.h"
#include "display/twips.h"
#include "data/layout.h"
#include "display/map_settings.h"
#include "display/map_view.h"
#include "window/map_commands.h"
#include "base/random_source.h"
#include "window/run_display.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tessarin {

class DrawingSurface;
class MapDiagnostics;
class ItemTooltips;
class MenuBar;
class PainterSurface;
class PictureBox;

/// The tool's one window: the run settings, two status fields and three
/// command buttons along the top, the distance table (DistanceBox) and the
/// map (DistanceGraph) below, all in the client area under the menu bar. It
/// owns all state of the tool: the distance data, the best map, the stop flag
/// and the random generator. Each control's object name is its name
/// (SizeText, OpenButton, ...).
class MainForm : public QWidget, private RunDisplay {
    Q_OBJECT

public:
    /// The fixed title text the caption starts with.
    static const QString TitleText;
    /// How long after a resize the window asks once more for the size the
    /// sizing rule set, in case the window system let the request pass.
    static constexpr int SettleMilliseconds = 250;

    /// Asks for the file to open; returns its full path, or an empty text
    /// when the user cancelled.
    using FileChooser = std::function<QString()>;
    /// Tells the user about an error.
    using MessageSink = std::function<void(const QString &text)>;
    /// Tells the user, without waiting for an answer, what a reading noticed.
    using NoticeSink = std::function<void(const QString &text)>;
    /// What a Save dialog asks for: its title, the file type filters (the
    /// first is preselected), the suffix added to a bare name, and a name to
    /// suggest.
    struct SaveRequest {
        QString title;
        QStringList filters;
        QString defaultSuffix;
        QString suggestedName;
    };
    /// The answer: the full path (empty when the user cancelled) and the
    /// index of the filter chosen.
    struct SaveChoice {
        QString path;
        int filter = 0;
    };
    using SaveChooser = std::function<SaveChoice(const SaveRequest &request)>;
    /// Draws over a map just drawn on `graph` (layout positions 1..2N).
    using MapOverlay = std::function<void(DrawingSurface &graph, const float *layout, int itemCount)>;

    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    /// Replaces the Open dialog (the default is a modal QFileDialog).
    void setDialog(FileChooser chooser) { m_dialog = std::move(chooser); }
    /// Replaces the error message box (the default is QMessageBox::critical).
    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    /// Replaces the reading notice (the default is a non-modal QMessageBox
    /// named ReadingNotice, which a later notice replaces).
    void setNoticeSink(NoticeSink sink) { m_noticeSink = std::move(sink); }
    /// Replaces the Save dialogs (the default is a modal QFileDialog).
    void setSaveDialog(SaveChooser chooser) { m_saveDialog = std::move(chooser); }
    /// Sets what redrawMap() and the map's exports draw over the map (nothing
    /// by default); the drawings during a search have no overlay.
    void setMapOverlay(MapOverlay overlay) { m_mapOverlay = std::move(overlay); }
    /// Draws the best map again as it was last drawn, with the overlay; does
    /// nothing while a search runs or before a map has been drawn.
    void redrawMap();
    /// Replaces what runs the map commands (the default is RunMapCommand).
    void setMapCommandRunner(MapCommandRunner runner) { m_mapCommandRunner = std::move(runner); }

    /// Whether the start-up file was named by the user or is the default.
    enum class StartFile { Default, Named };
    /// The start-up sequence: settings step, caption, show, then read
    /// `fileName`, draw the table and run a search under the busy pointer.
    /// A failure from the reading on ends the sequence with one line on
    /// standard error; only a file the user named (`StartFile::Named`) is
    /// also reported in a message box. Returns when the search has ended.
    void startUp(const QString &fileName = QStringLiteral("distance.txt"), StartFile start = StartFile::Default);

    /// Sizes the window and both picture boxes from SizeText; does nothing
    /// while the window is minimised or maximised. The menu bar's height
    /// comes on top of the outer height the rule sets. Throws TessarinError
    /// naming SizeText when its value is not a size the window can take.
    void applySizingRule();
    /// Copies the display settings onto DistanceGraph. Throws TessarinError
    /// naming the box and the value a setting the surface refuses.
    void applySettings(SettingsForm form);

    /// The outer size, in twips, the sizing rule last asked for, without the
    /// menu bar.
    QSizeF requestedOuterSize() const { return m_requestedOuterSize; }
    const DistanceData &distanceData() const { return m_data; }
    /// The file the distance data was read from.
    const QString &dataFile() const { return m_dataFile; }
    /// The Shepard diagram and stress ring commands.
    MapDiagnostics *diagnostics() const { return m_diagnostics; }
    const Layout &bestLayout() const { return m_bestLayout; }
    short stopFlag() const { return m_stopRequested; }
    /// Generations run by the latest search that ended normally.
    long long lastRunGenerations() const { return m_lastRunGenerations; }
    bool isRunning() const { return m_running; }
    /// True once the window has been closed; no run can start or draw then.
    bool isClosing() const { return m_closing; }
    /// The window's menu bar (File, Map, Help).
    MenuBar *menuBar() const { return m_menuBar; }
    /// The widget below the menu bar that holds the controls; their
    /// positions are in its coordinates.
    QWidget *clientArea() const { return m_clientArea; }
    PictureBox *distanceBox() const { return m_distanceBox; }
    PictureBox *distanceGraph() const { return m_distanceGraph; }
    /// The context menus of DistanceGraph (MapMenu) and DistanceBox
    /// (TableMenu); their entries are greyed while there is nothing to save
    /// or a search runs.
    QMenu *mapMenu() const { return m_mapMenu; }
    QMenu *tableMenu() const { return m_tableMenu; }
    /// The tooltips naming the items under the pointer in both boxes.
    const ItemTooltips *tooltips() const { return m_tooltips; }
    /// True when a map has been drawn for the data and no search runs.
    bool canSaveMap() const;
    /// True when the table has been drawn and no search runs.
    bool canSaveTable() const;

public slots:
    void openFile();
    /// Opens `path` as the Open command does once its dialog has closed:
    /// the caption names it, and a file that reads replaces the data and is
    /// fitted. What a file dropped on the window does.
    void openPath(const QString &path);
    /// File ▸ Open weights…: asks for a table of pair weights for the table
    /// open now (the Open dialog's chooser when one is set), then as
    /// openWeightsPath.
    void openWeights();
    /// Weighs the pairs by the table in `path` (any layout the reader takes,
    /// the same items in any order), redraws the table with its missing
    /// pairs blank and fits the map. The weights hold until another table is
    /// opened; a file that cannot be used leaves everything as it was.
    void openWeightsPath(const QString &path);
    void rerun();
    void stop();
    /// Closes the window, as its close button does.
    void quit();
    /// The map commands: the classical scaling map, a polish of the best
    /// map, the best of several polished routes. Each draws its improvements
    /// live, honours Stop and makes its result the best map, from which a
    /// Rerun continues.
    void classicalStart();
    void polish();
    void bestMap();
    void showAbout();
    void showFileFormat();
    void showFitHelp();
    /// The context menu commands. PNG is saved at twice the box's size unless
    /// the dialog's "box size" filter is chosen.
    void saveMapPng();
    void saveMapSvg();
    void saveCoordinatesCsv();
    void copyCoordinates();
    void saveTablePng();
    void saveTableSvg();

signals:
    /// A better map has been drawn: positions 1..2N of its layout (index 0
    /// unused) and its fit.
    void improvementDrawn(const QList<float> &layout, double fit);
    /// A search (Open, Rerun, start-up) begins, once its table is drawn.
    void searchStarted();
    /// A run has ended, normally or by an error; the best map is in place.
    void runEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // RunDisplay
    void drawImprovement(const float *layout, int itemCount, double fit) override;
    void showGeneration(const std::string &text) override;
    void processEvents() override;
    bool stopRequested() override;
    bool closing() override { return m_closing; }

    void setOpenEnabled(bool enabled);
    void setBusy(bool busy);

    static std::string textOf(const QLineEdit *box);
    void createControls();
    void sizeOnEvent();
    void applySizingRuleOnce();
    // Asks the window system once more for the size the rule last set.
    void confirmSize();

    // Applies the sizing rule a resize asked for while it was deferred.
    void applyDeferredSizing();
    // Reads the distance file at `path` (ReadDistanceFile) while the window
    // takes its events; throws WindowClosing when it was closed.
    DistanceData readDistances(const QString &path);
    /// Draws the table and runs the search; an error ends the run and is
    /// shown after `failure`, which names the file.
    void drawAndSearch(const QString &failure);
    void runMapCommand(MapStage command);
    // Draws the best map again, or clears the map when there is none, after
    // a map command failed.
    void redrawBestLayout();
    int menuBarHeight() const;
    void runSearch();
    void endRun();
    void showError(const QString &text);
    /// Shows the warnings and statistics note of the reading of `fileName`
    /// (in m_data) once, without a nested event loop; nothing for a clean file.
    void showReadingNotice(const QString &fileName);
    /// Shows `text` (nothing when empty) as the reading notice is shown.
    void showNotice(const QString &text);
    QString chooseFile();
    void createMenus();
    void updateSaveActions();
    void drawTable();
    SaveChoice chooseSaveFile(const SaveRequest &request);
    QString suggestedName(const QString &ending) const;
    // Saves a picture of `box` replayed by `replay` as PNG or SVG, asking for
    // the file; reports a failure in a message.
    void saveMap(bool svg);
    void saveTable(bool svg);
    void savePicture(PictureBox *box, const std::function<void(PainterSurface &)> &replay, bool svg,
                     const QString &what, const QString &ending);

    QLineEdit *m_sizeText = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label4 = nullptr;
    QLineEdit *m_fitBox = nullptr;
    PictureBox *m_distanceBox = nullptr;
    QPushButton *m_openButton = nullptr;
    PictureBox *m_distanceGraph = nullptr;
    QPushButton *m_moreFit = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLineEdit *m_backText = nullptr;
    QLineEdit *m_foreText = nullptr;
    QLabel *m_label5 = nullptr;
    QCheckBox *m_showGrid = nullptr;
    QLineEdit *m_fontText = nullptr;
    QLabel *m_label6 = nullptr;
    QLabel *m_label7 = nullptr;
    QLineEdit *m_gaGenText = nullptr;
    QLineEdit *m_gaGensText = nullptr;
    QPushButton *m_stopButton = nullptr;

    ItemTooltips *m_tooltips = nullptr;
    QWidget *m_clientArea = nullptr;
    MenuBar *m_menuBar = nullptr;
    QMenu *m_mapMenu = nullptr;
    QMenu *m_tableMenu = nullptr;
    QAction *m_saveMapPng = nullptr;
    QAction *m_saveMapSvg = nullptr;
    QAction *m_saveCoordinates = nullptr;
    QAction *m_copyCoordinates = nullptr;
    QAction *m_saveTablePng = nullptr;
    QAction *m_saveTableSvg = nullptr;

    FileChooser m_dialog;
    MessageSink m_messageSink;
    NoticeSink m_noticeSink;
    QPointer<QMessageBox> m_notice;
    SaveChooser m_saveDialog;
    MapOverlay m_mapOverlay;
    MapDiagnostics *m_diagnostics = nullptr;
    MapCommandRunner m_mapCommandRunner = RunMapCommand;

    DistanceData m_data;
    QString m_dataFile; // the file m_data was read from
    std::vector<float> m_readWeights; // m_data's pair weights as read, before a weights file
    Layout m_bestLayout;
    // What the map and the table were last drawn with, for drawing them
    // again on an export: the map settings, the picture size text; and
    // whether each was drawn for the data in m_data.
    MapSettings m_drawnMapSettings;
    std::string m_drawnSizeText;
    bool m_mapDrawn = false;
    bool m_tableDrawn = false;
    short m_stopRequested = 0;
    MersenneSource m_random;

    QSizeF m_requestedOuterSize;
    long long m_lastRunGenerations = 0;
    bool m_running = false;
    bool m_closing = false;
    bool m_sizing = false;
    // A resize from elsewhere came while the rule ran: run it again.
    bool m_sizeAgain = false;
    // The window size the rule running asked for.
    QSize m_sizingTarget;
    // While the table is drawn, a resize's rule waits (pending) until the end.
    bool m_sizingDeferred = false;
    bool m_sizingPending = false;
};

} // namespace tessarin
