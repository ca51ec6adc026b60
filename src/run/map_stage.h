#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"
#include "run/stage_record.h"
#include "scaling/best_map.h"
#include "scaling/map_polish.h"

#include <optional>
#include <vector>

namespace tessarin {

class RunObserver;

/// The map stages beside the search, each run by the window's Map menu and
/// by the batch mode.
enum class MapStage {
    /// The classical scaling map of the table.
    ClassicalStart,
    /// A map polished to a maximum of the fit.
    Polish,
    /// The best of several polished routes from the classical start.
    BestMap,
};

/// The budgets of the map stages; the defaults are the program's.
struct MapStageSettings {
    PolishSettings polish;
    /// The best map's routes; unset: BestMapSettingsFor(the item count).
    std::optional<BestMapSettings> bestMap;
    /// What the polish and the best map minimise or maximise: Fit (the fit
    /// measure, the default) or a stress model. The classical start is the
    /// same under every model.
    ModelSetting model;
};

/// What a map stage leaves.
struct MapStageOutcome {
    /// The stage's map in stored form (positions 1..2N) and its LayoutFitness.
    Layout layout;
    double fit = 0.0;
    /// The model's stress of `layout` (1 - fit under the fit measure).
    double stress = 0.0;
    /// True when the observer asked to stop; `layout` is the best so far.
    bool stopped = false;
    /// The stage's record first ("classical start", "polish", "best map"),
    /// then those of its parts (the best map's routes).
    std::vector<StageRecord> records;
};

/// Runs `stage` on `data`. `start` is the map a polish starts from (taken to
/// 2N positions, new ones 0); the other stages do not read it. The observer
/// hears of every iteration and may ask for maps and stop the stage.
/// Deterministic: the observer never changes the result. Throws
/// TessarinError as the solvers do.
MapStageOutcome RunMapStage(MapStage stage, const DistanceData &data, const Layout &start,
                            const MapStageSettings &settings, RunObserver &observer);

/// The same with the program's budgets.
MapStageOutcome RunMapStage(MapStage stage, const DistanceData &data, const Layout &start, RunObserver &observer);

} // namespace tessarin
