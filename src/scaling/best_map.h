#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "scaling/map_polish.h"
#include "scaling/route_outcome.h"

#include <string>
#include <vector>

namespace tessarin {

class RunObserver;

struct BestMapResult {
    /// The best map in stored form and its LayoutFitness.
    Layout layout;
    double fit = 0.0;
    /// The name of the route that gave `layout`.
    std::string winner;
    /// Every route that ran, in the order run; the score of each is its
    /// LayoutFitness.
    std::vector<RouteOutcome> routes;
    /// True when the observer asked to stop; `layout` is the best so far.
    bool stopped = false;
};

/// Which routes run and their iteration budgets.
struct BestMapSettings {
    /// The 2-D polishes: memory, stopping gain and the cap of each.
    PolishSettings polish;
    /// Routes b and c (the 3-D start, and its depth held at half), and the
    /// cap of each of their 3-D polishes.
    bool deepRoutes = true;
    int deepIterations = 2000;
    /// Route d: smoothing steps (epsilon = 0.5 * mean distance * 0.3^k,
    /// k = 0 .. smoothingSteps - 1; 0 leaves the route out) and the cap of
    /// each smoothed polish.
    int smoothingSteps = 4;
    int smoothingIterations = 2000;
    /// Route e: random starts (0 leaves it out) and the cap of each polish.
    int randomStarts = 8;
    int randomIterations = 2000;
};

/// The settings FindBestMap uses for a table of `itemCount` items.
BestMapSettings BestMapSettingsFor(int itemCount);

/// Runs the best-map routes from the classical start and keeps the best map
/// by LayoutFitness (a later route wins only when better by more than
/// 1e-9 * fit). Deterministic. `observer` may be null.
BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer = nullptr);

/// The same with the routes and budgets of `settings`.
BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer, const BestMapSettings &settings);

} // namespace tessarin
