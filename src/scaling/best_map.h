#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

#include <string>
#include <vector>

namespace tessarin {

class ScalingObserver;

/// One route the best-map search tried.
struct RouteOutcome {
    /// "a" .. "e".
    std::string name;
    /// What the route does, for a summary ("2-D classical start, polished").
    std::string description;
    /// LayoutFitness of the route's map.
    double fit = 0.0;
    /// Polish iterations the route took, all its polishes together.
    int iterations = 0;
    /// Wall time the route took, for reports only (no budget depends on it).
    double seconds = 0.0;
};

struct BestMapResult {
    /// The best map in stored form and its LayoutFitness.
    Layout layout;
    double fit = 0.0;
    /// The name of the route that gave `layout`.
    std::string winner;
    /// Every route that ran, in the order run.
    std::vector<RouteOutcome> routes;
    /// True when the observer asked to stop; `layout` is the best so far.
    bool stopped = false;
};

/// Runs the best-map routes from the classical start and keeps the best map
/// by LayoutFitness (a later route wins only when better by more than
/// 1e-9 * fit). Deterministic. `observer` may be null.
BestMapResult FindBestMap(const DistanceData &data, ScalingObserver *observer = nullptr);

} // namespace tessarin
