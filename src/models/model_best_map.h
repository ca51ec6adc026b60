#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "models/stress_model.h"
#include "scaling/map_polish.h"
#include "scaling/route_outcome.h"

#include <string>
#include <vector>

namespace tessarin {

class RunObserver;

struct ModelBestMapResult {
    /// The best map in stored form, its stress (see StoredModelStress) and
    /// its LayoutFitness.
    Layout layout;
    double stress = 0.0;
    double fit = 0.0;
    /// The route that gave `layout`.
    std::string winner;
    /// Every route that ran, in the order run; the score of each is the
    /// lowest stress of its maps.
    std::vector<RouteOutcome> routes;
    /// True when the observer asked to stop; `layout` is the best so far.
    bool stopped = false;
};

/// Which routes run and their iteration budgets.
struct ModelBestMapSettings {
    /// Each 2-D polish: memory, stopping gain and cap.
    PolishSettings polish;
    /// Route b: the fit's best map when the caller gives it, otherwise the
    /// classical map polished under the fit measure, as a start.
    bool fitRoute = true;
    /// Route c: the 3-D classical start polished under the model in three
    /// dimensions, turned to its principal axes and flattened; the cap of
    /// its 3-D polish.
    bool deepRoute = true;
    int deepIterations = 1000;
    /// Route d: the best map so far polished under the models before this one
    /// in the chain ratio -> interval -> ordinal (ratio for Sammon), then
    /// under the model; the cap of each of those polishes.
    bool chainRoute = true;
    int chainIterations = 500;
    /// Route e: random starts (0 leaves it out) and the cap of each polish.
    int randomStarts = 8;
    int randomIterations = 500;
};

/// The settings FindBestModelMap uses for a table of `itemCount` items.
ModelBestMapSettings ModelBestMapSettingsFor(int itemCount);

/// Polishes the routes' starts under `setting` and keeps the map of lowest
/// stress (a later route wins only when lower by more than 1e-9 * stress).
/// Deterministic bit for bit. `fitBest`, when given, is the fit's best map
/// for route b (otherwise the classical map polished under the fit measure). The fit model runs
/// FindBestMap (stress 1 - fit). `observer` may be null.
ModelBestMapResult FindBestModelMap(const DistanceData &data, const ModelSetting &setting,
                                    RunObserver *observer = nullptr, PairWeights weights = nullptr,
                                    const Layout *fitBest = nullptr);

/// The same with the routes and budgets of `settings`.
ModelBestMapResult FindBestModelMap(const DistanceData &data, const ModelSetting &setting, RunObserver *observer,
                                    PairWeights weights, const Layout *fitBest, const ModelBestMapSettings &settings);

} // namespace tessarin
