#pragma once

#include "base/random_source.h"
#include "data/distance_data.h"
#include "distances/distance_source.h"
#include "data/layout.h"
#include "window/map_commands.h"
#include "window/run_display.h"

#include <QString>

#include <optional>
#include <string>

namespace tessarin {

class MainForm;

/// The main window's runs: start-up, Open, Rerun and the map commands read
/// the file, draw the table and fit the map, with the window's buttons and
/// pointer restored however a run ends. It draws what a run reports on the
/// window's controls, holds the stop flag and the random generator, and
/// leaves the data and the best map in the window.
class RunControl final : private RunDisplay {
public:
    explicit RunControl(MainForm &form) : m_form(form) {}

    /// See MainForm::startUp.
    void startUp(const QString &fileName, bool named);
    void openFile();
    void openPath(const QString &path);
    /// See MainForm::openDataTable and MainForm::openSource.
    void openDataTable();
    void openSource(const QString &path, const DistanceSource &source);
    /// See MainForm::openWeightsPath.
    void openWeightsPath(const QString &path);
    void rerun();
    void stop() { m_stopRequested = 1; }
    void runMapCommand(MapStage command);
    /// See MainForm::replaceBestLayout and MainForm::loadTable.
    bool replaceBestLayout(const Layout &layout);
    bool loadTable(const QString &path, const DistanceSource &source, const QString &weightsFile);

    /// Replaces what runs the map commands (the default is RunMapCommand).
    void setMapCommandRunner(MapCommandRunner runner) { m_mapCommandRunner = std::move(runner); }
    short stopFlag() const { return m_stopRequested; }
    /// Generations run by the latest search that ended normally.
    long long lastRunGenerations() const { return m_lastRunGenerations; }

private:
    // Shows why the file at hand, read as `source` says, could not be read.
    void showReadError(const DistanceSource &source, const std::exception &error);
    // RunDisplay
    void drawImprovement(const float *layout, int itemCount, double fit) override;
    void showGeneration(const std::string &text) override;
    void processEvents() override;
    bool stopRequested() override;
    bool closing() override;

    // Reads the file at `path` as `source` says (ReadDistanceSource) while
    // the window takes its events; nothing when the window was closed
    // meanwhile.
    std::optional<SourcedDistances> readDistances(const QString &path, const DistanceSource &source = {});
    // Draws the table from the data and the Picture Size box; false when the
    // window was closed meanwhile, the table unfinished.
    bool drawTable();
    /// Draws the table and runs the search; an error ends the run and is
    /// shown after `failure`, which names the file.
    void drawAndSearch(const QString &failure);
    void runSearch();
    // Draws the best map again, or clears the map when there is none, after
    // a map command failed.
    void redrawBestLayout();
    void endRun();

    MainForm &m_form;
    MapCommandRunner m_mapCommandRunner = RunMapCommand;
    short m_stopRequested = 0;
    MersenneSource m_random;
    long long m_lastRunGenerations = 0;
};

} // namespace tessarin
