#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "run/map_stage.h"

#include <functional>
#include <string>

namespace tessarin {

class RunObserver;

/// The stage's name as the Map menu shows it, without "…" or shortcut.
std::string MapCommandName(MapStage command);

/// Runs a map command of the Map menu: `best` is the window's best map, the
/// start of a polish. The window holds RunMapStage with the program's budgets
/// by default; tests may put another in its place.
using MapCommandRunner = std::function<MapStageOutcome(MapStage command, const DistanceData &data,
                                                       const Layout &best, RunObserver &observer)>;

/// RunMapStage with the program's budgets.
MapStageOutcome RunMapCommand(MapStage command, const DistanceData &data, const Layout &best,
                              RunObserver &observer);

} // namespace tessarin
