#pragma once

#include "data/distance_data.h"
#include "display/twips.h"
#include "data/layout.h"
#include "display/map_settings.h"
#include "display/map_view.h"
#include "models/stress_model.h"
#include "distances/distance_source.h"
#include "window/map_commands.h"
#include "window/sizing_rule.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tessarin {

class DrawingSurface;
class MapDiagnostics;
class MapExplorer;
class ItemTooltips;
class MenuBar;
class PainterSurface;
class PictureBox;
class RunControl;
class SaveCommands;

/// The tool's one window: the run settings, two status fields and three
/// command buttons along the top, the distance table (DistanceBox) and the
/// map (DistanceGraph) below, all in the client area under the menu bar. It
/// owns all state of the tool: the distance data, the best map, the stop flag
/// and the random generator. Each control's object name is its name
/// (SizeText, OpenButton, ...). Its runs (RunControl), sizing rule
/// (SizingRule) and save commands (SaveCommands) are parts of it, each in its
/// own files; the window forwards its commands to them.
class MainForm : public QWidget {
    Q_OBJECT

public:
    /// The fixed title text the caption starts with.
    static const QString TitleText;
    /// How long after a resize the window asks once more for the size the
    /// sizing rule set, in case the window system let the request pass.
    static constexpr int SettleMilliseconds = SizingRule::SettleMilliseconds;

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
    /// Asks how the data table at `path` becomes distances (the Open data
    /// table dialog); nothing when the user cancelled.
    using SourceChooser = std::function<std::optional<DistanceSource>(const QString &path)>;

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
    void setSaveDialog(SaveChooser chooser);
    /// Replaces the Open data table dialog (the default is a DataTableDialog).
    void setSourceDialog(SourceChooser chooser) { m_sourceDialog = std::move(chooser); }
    /// Sets what redrawMap() and the map's exports draw over the map (nothing
    /// by default); the drawings during a search have no overlay.
    void setMapOverlay(MapOverlay overlay) { m_mapOverlay = std::move(overlay); }
    /// Draws the best map again as it was last drawn, with the overlay; does
    /// nothing while a search runs or before a map has been drawn.
    void redrawMap();
    /// Replaces what runs the map commands (the default is RunMapCommand).
    void setMapCommandRunner(MapCommandRunner runner);

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
    QSizeF requestedOuterSize() const;
    const DistanceData &distanceData() const { return m_data; }
    /// The items' groups of the latest data table read with groups; empty
    /// otherwise.
    const ItemGroups &groups() const { return m_groups; }
    /// The file the distance data was read from.
    const QString &dataFile() const { return m_dataFile; }
    /// How dataFile() was read: a distance file, a data table by a metric,
    /// or a similarity matrix, and where the groups came from.
    const DistanceSource &distanceSource() const { return m_source; }
    /// The weights file that weighs the pairs now; empty when none does.
    const QString &weightsFile() const { return m_weightsFile; }
    /// The Shepard diagram and stress ring commands.
    MapDiagnostics *diagnostics() const { return m_diagnostics; }
    /// The map explorer and the map history.
    MapExplorer *explorer() const { return m_explorer; }
    /// Counts the distance tables read: changes whenever new data replaces
    /// the old.
    long long dataVersion() const { return m_dataVersion; }
    /// Makes `layout` (a map of the table's items) the best map, draws it
    /// with its fit and ends as a run does (runEnded). Refused (false) while
    /// a run goes on, before a table is read or for a map of another size.
    bool replaceBestLayout(const Layout &layout);
    /// Reads the file at `path` as `source` says and draws its table, as
    /// Open (or Open data table) does, but runs no search: the best map is
    /// all zeros until replaced. A non-empty `weightsFile` then weighs the
    /// pairs as Open weights does. A file that does not read or weights that
    /// cannot be used are reported and leave everything as it was. Returns
    /// whether the table was read and weighed.
    bool loadTable(const QString &path, const DistanceSource &source = {}, const QString &weightsFile = {});
    const Layout &bestLayout() const { return m_bestLayout; }
    short stopFlag() const;
    /// Generations run by the latest search that ended normally.
    long long lastRunGenerations() const;
    bool isRunning() const { return m_running; }
    /// True once the window has been closed; no run can start or draw then.
    bool isClosing() const { return m_closing; }
    /// The window's menu bar (File, Map, Help).
    MenuBar *menuBar() const { return m_menuBar; }
    const ModelSetting &model() const { return m_model; }
    /// The status line's text ("Ordinal stress-1 0.0231 (excellent)"); empty
    /// under Fit, when the line is hidden.
    QString modelStatusText() const;
    /// The widget below the menu bar that holds the controls; their
    /// positions are in its coordinates.
    QWidget *clientArea() const { return m_clientArea; }
    PictureBox *distanceBox() const { return m_distanceBox; }
    PictureBox *distanceGraph() const { return m_distanceGraph; }
    /// The context menus of DistanceGraph (MapMenu) and DistanceBox
    /// (TableMenu); their entries are greyed while there is nothing to save
    /// or a search runs.
    QMenu *mapMenu() const;
    QMenu *tableMenu() const;
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
    /// File ▸ Open data table…: asks for a file, then in a dialog how it
    /// becomes distances (metric and standardisation, or a similarity
    /// conversion; the name and group columns), then reads, draws the table
    /// and fits as Open does.
    void openDataTable();
    /// Opens `path` read as `source` says, as openPath does.
    void openSource(const QString &path, const DistanceSource &source);
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
    /// Map ▸ Model and Map ▸ Ties: what Polish and Best map minimise from now
    /// on (Fit, the fit measure, is the start-up's). Any other model shows
    /// the status line under the form with the best map's stress under it.
    void setModel(StressModel model);
    void setTies(TieApproach ties);
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
    /// Map ▸ Model or Map ▸ Ties changed what the map is measured by.
    void modelChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    friend class RunControl;
    friend class SaveCommands;

    void setOpenEnabled(bool enabled);
    void setBusy(bool busy);

    static std::string textOf(const QLineEdit *box);
    void createControls();
    // The group of each item, for the coordinates' CSV; empty without groups.
    std::vector<std::string> groupOfItems() const;
    int menuBarHeight() const;
    // The status line's height while it shows (a model other than Fit), 0
    // otherwise.
    int statusLineHeight() const;
    // Writes the best map's stress under the model into the status line.
    void updateModelStatus();
    void showError(const QString &text);
    /// Shows the warnings and statistics note of the reading of `fileName`
    /// (in m_data) once, without a nested event loop; nothing for a clean file.
    void showReadingNotice(const QString &fileName);
    /// Shows `text` (nothing when empty) as the reading notice is shown.
    void showNotice(const QString &text);
    QString chooseFile();

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
    ModelSetting m_model;
    QLabel *m_modelStatus = nullptr;

    FileChooser m_dialog;
    MessageSink m_messageSink;
    NoticeSink m_noticeSink;
    QPointer<QMessageBox> m_notice;
    SourceChooser m_sourceDialog;
    MapOverlay m_mapOverlay;
    MapDiagnostics *m_diagnostics = nullptr;
    SaveCommands *m_saveCommands = nullptr;
    std::unique_ptr<SizingRule> m_sizingRule;
    std::unique_ptr<RunControl> m_runControl;
    MapExplorer *m_explorer = nullptr;
    long long m_dataVersion = 0;

    DistanceData m_data;
    ItemGroups m_groups; // the groups of m_data's items, or none
    QString m_dataFile; // the file m_data was read from
    DistanceSource m_source; // how m_dataFile was read
    QString m_weightsFile; // the weights file applied to m_data, or empty
    std::vector<float> m_readWeights; // m_data's pair weights as read, before a weights file
    Layout m_bestLayout;
    // What the map and the table were last drawn with, for drawing them
    // again on an export: the map settings, the picture size text; and
    // whether each was drawn for the data in m_data.
    MapSettings m_drawnMapSettings;
    std::string m_drawnSizeText;
    bool m_mapDrawn = false;
    bool m_tableDrawn = false;
    bool m_running = false;
    bool m_closing = false;
};

} // namespace tessarin
