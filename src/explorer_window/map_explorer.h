#pragma once

#include "explorer/explorer_input.h"
#include "explorer/map_history.h"
#include "explorer/map_orientation.h"

#include <QList>
#include <QString>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace tessarin {

class ExplorerWindow;
class MainForm;
struct Workspace;

/// The main window's map explorer and map history: Map ▸ Map explorer…
/// opens the explorer beside the main window, which then follows every
/// improvement of a run; Edit ▸ Undo map / Redo map step through the maps
/// the commands produced (searches, Classical start, Polish, Best map, turns
/// and mirrors), in both windows. A map restored or turned becomes the best
/// map, from which a Rerun continues.
class MapExplorer : public QObject {
    Q_OBJECT

public:
    static constexpr auto ExplorerShortcut = "Ctrl+E";
    /// Above this many items the stress shares are not measured for the
    /// explorer at each run's end.
    static constexpr int StressShareLimit = 5000;
    /// Up to this many items the explorer's status line measures the
    /// model's stress of the maps a run shows; above it, at the run's end.
    static constexpr int LiveStressLimit = 2000;
    /// The least pause, in milliseconds, between two measures of the stress
    /// during a run; a measure that takes longer stretches the pause to four
    /// times its own time, so the status line costs a run at most a fifth.
    static constexpr int LiveStressPause = 100;

    /// Creates the commands as actions of `form`, adds Map explorer… to its
    /// Map menu and an Edit menu before it, and follows its runs.
    explicit MapExplorer(MainForm &form);

    QAction *explorerAction() const { return m_explorerAction; }
    QAction *undoAction() const { return m_undoAction; }
    QAction *redoAction() const { return m_redoAction; }
    /// The explorer, or null until first opened.
    ExplorerWindow *window() const;
    const MapHistory &history() const { return m_history; }
    MapHistory &history() { return m_history; }
    /// What the explorer is told about the items: the names of the table, the
    /// stress shares when measured, the groups set by setGroups().
    ExplorerInput input() const;
    /// Gives the items groups (an index into `names` per item, -1 for none).
    void setGroups(std::vector<int> groups, std::vector<std::string> names);

    /// The workspace of the windows as they are now.
    Workspace currentWorkspace() const;
    /// Writes the workspace to `path`; false (and a message) on failure.
    bool saveWorkspaceTo(const QString &path);
    /// Restores the workspace in `path`: the table read again (refused when
    /// its file changed since), the settings, the best map and its history,
    /// the explorer's look and view; no search runs. False (and a message)
    /// on failure: a workspace that does not read, or whose table does not
    /// read or has changed, leaves the windows as they were; one whose map
    /// does not fit its table leaves that table read, with no map.
    bool openWorkspaceFrom(const QString &path);
    /// Replaces the error message box (for tests).
    void setMessageSink(std::function<void(const QString &)> sink) { m_messageSink = std::move(sink); }
    /// Replaces LiveStressLimit (for tests).
    void setLiveStressLimit(int items) { m_liveStressLimit = items; }

public slots:
    void showExplorer();
    void saveWorkspace();
    void openWorkspace();
    void undoMap();
    void redoMap();
    void turnMap(MapTurn turn);
    void exportFigure();

private:
    void onImprovement(const QList<float> &layout, double fit);
    void onRunEnded();
    // The status line of a map of `itemCount` items with `fit`, followed by
    // `modelLine` (the model's line, empty under Fit).
    QString statusText(int itemCount, double fit, bool running, const QString &modelLine) const;
    // The best map's line, with the form's model line.
    void showStatus();
    // Measures the model's stress of the run's latest map, if not yet done,
    // and shows it with that map's fit.
    void measureLiveStress();
    void updateActions();
    void showBestMap();
    void measureShares();
    // Makes `map` the best map of the form; false when the form refused.
    bool restore(const Layout &map);
    void showError(const QString &text);

    MainForm &m_form;
    QAction *m_explorerAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QMenu *m_editMenu = nullptr;
    QPointer<ExplorerWindow> m_window;
    MapHistory m_history;
    // The data the history's maps belong to (MainForm::dataVersion).
    long long m_historyData = -1;
    std::vector<double> m_shares;
    double m_mapScale = 0;
    std::vector<int> m_groups;
    std::vector<std::string> m_groupNames;
    QAction *m_saveWorkspaceAction = nullptr;
    QAction *m_openWorkspaceAction = nullptr;
    std::function<void(const QString &)> m_messageSink;
    // The latest map of a run under a stress model and its fit; whether its
    // stress is still to be measured; the pause after the last measure.
    Layout m_liveMap;
    double m_liveFit = 0;
    bool m_liveWaiting = false;
    QTimer *m_livePause = nullptr;
    int m_liveStressLimit = LiveStressLimit;
};

} // namespace tessarin
