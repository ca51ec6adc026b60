#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"
#include "scaling/map_polish.h"

namespace tessarin {

class RunObserver;

struct ModelPolishResult {
    /// The polished map in stored form, or the start when the polish could
    /// not lower its stress.
    Layout layout;
    /// The model's stress of `layout` (see StoredModelStress) and its
    /// LayoutFitness.
    double stress = 0.0;
    double fit = 0.0;
    int iterations = 0;
    /// True when the observer asked to stop.
    bool stopped = false;
};

/// Lowers the model's stress of a map (L-BFGS on the loss of ModelLoss),
/// starting from `start` (positions 1..2N); never returns a map with a higher
/// stress than the start's. A start with every item on one point is replaced
/// by the classical map. The observer (may be null) hears the stage "polish"
/// and gets the maps with their LayoutFitness. The fit model runs
/// PolishLayout (its stress is then 1 - fit).
ModelPolishResult PolishUnderModel(const DistanceData &data, const Layout &start, const ModelSetting &setting,
                                   RunObserver *observer = nullptr, const PolishSettings &settings = {},
                                   PairWeights weights = nullptr);

} // namespace tessarin
