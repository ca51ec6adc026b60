#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

#include <functional>

namespace tessarin {

/// Which way a measure of a map gets better.
enum class Improvement { Lower, Higher };

/// What the polishes and the best maps improve: the fit measure (higher is
/// better) or a stress model's stress (lower is better), with the way the
/// L-BFGS descent steps on it.
struct MapMeasure {
    Improvement improvement = Improvement::Higher;
    /// The measure of a 2-D map in stored form (positions 1..2N).
    std::function<double(const Layout &layout)> score;
    /// True when `score` is the map's LayoutFitness, which observers are
    /// shown with each map; otherwise it is computed for them.
    bool scoreIsFit = true;
    /// What a route that kept no map reports: worse than any map's score.
    double worst = 0.0;
    /// Line-search tries per step; when none gives a better point the
    /// descent ends.
    int lineSearchTries = 20;
    /// The first step of a fresh L-BFGS memory: 1 / |direction| when false,
    /// a move of about a hundredth of the map's size when true.
    bool stepBySpread = false;
};

/// True when `value` is at least as good as `reference` under `improvement`.
bool AtLeastAsGood(Improvement improvement, double value, double reference);

/// True when `value` is better than `reference` (false when either is NaN).
bool Better(Improvement improvement, double value, double reference);

/// True when `value` is better than `reference` by more than a relative
/// 1e-9 (1e-9 * |reference|): a later route wins only by such a margin.
bool ClearlyBetter(Improvement improvement, double value, double reference);

/// The fit measure: LayoutFitness of `data`, higher is better. Keeps a
/// reference to `data`.
MapMeasure FitMeasure(const DistanceData &data);

} // namespace tessarin
