#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "search/search_host.h"

#include <functional>
#include <string>

namespace tessarin {

/// The map commands of the window's Map menu, beside the search.
enum class MapCommand {
    /// The classical scaling map of the table.
    ClassicalStart,
    /// The best map so far, polished to a maximum of the fit.
    Polish,
    /// The best of several polished routes from the classical start.
    BestMap,
};

/// The command's name as the Map menu shows it, without "…" or shortcut.
std::string MapCommandName(MapCommand command);

/// What a map command leaves: the map that becomes the best map (positions
/// 1..2N in stored form) and its LayoutFitness.
struct MapCommandResult {
    Layout layout;
    double fit = 0.0;
    /// True when Stop ended the command early; `layout` is the best so far.
    bool stopped = false;
};

/// Runs one map command on `data` for the window behind `host`: the
/// improvements are drawn through host.drawImprovement() as they come, at
/// most about 10 a second, the stage and iteration go to
/// host.showGeneration(), pending events are processed about every 20 ms, and
/// host.stopRequested() ends the command at its next iteration. The final map
/// is always drawn before the command returns. `best` is the window's best
/// map, the start of a polish (taken to 2N positions, new ones 0). Throws
/// what the solvers and the host throw; writes nothing of the window's.
/// How often it draws depends on the clock; the result never does.
MapCommandResult RunMapCommand(MapCommand command, SearchHost &host, const DistanceData &data, const Layout &best);

/// The text shown where the generation stands: the iteration, after the
/// letter of the best-map route when there is one ("b 37", " 37").
std::string MapProgressText(const std::string &stage, int iteration);

/// Runs a map command; the window holds RunMapCommand by default, tests may
/// put another in its place.
using MapCommandRunner =
    std::function<MapCommandResult(MapCommand command, SearchHost &host, const DistanceData &data, const Layout &best)>;

} // namespace tessarin
