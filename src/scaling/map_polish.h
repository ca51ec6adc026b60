#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "scaling/map_descent.h"
#include "scaling/map_measure.h"

namespace tessarin {

class RunObserver;

struct PolishResult {
    /// The polished map in stored form, or the start when the polish could
    /// not improve it.
    Layout layout;
    /// LayoutFitness of `layout`.
    double fit = 0.0;
    int iterations = 0;
    /// True when the observer asked to stop.
    bool stopped = false;
};

/// Maximises the fit measure of a map directly (L-BFGS on the fit and its
/// gradient), starting from `start` (positions 1..2N). Never returns a map
/// with a lower LayoutFitness than the start's. `observer` may be null.
PolishResult PolishLayout(const DistanceData &data, const Layout &start, RunObserver *observer = nullptr,
                          const PolishSettings &settings = {});

/// Throws TessarinError unless `start` can be polished as a map of `data`:
/// the table has items and the map holds them all.
void CheckPolishStart(const DistanceData &data, const Layout &start);

/// What a polish under a measure did.
struct MeasuredPolish {
    /// The polished map in stored form, or the start when the polish could
    /// not improve it, and its score.
    Layout layout;
    double score = 0.0;
    int iterations = 0;
    /// True when the observer asked to stop.
    bool stopped = false;
};

/// Improves `measure` of a map by L-BFGS on `objective` (its value and
/// gradient at 2-D coordinate-major coordinates), starting from `start`
/// (positions 1..2N; throws as CheckPolishStart). A start with every item on
/// one point is replaced by the classical map. Never returns a map with a
/// worse score than the start's. The observer (may be null) hears the stage
/// "polish" and gets the maps with their LayoutFitness.
MeasuredPolish PolishMap(const DistanceData &data, const Layout &start, const MapMeasure &measure,
                         const DescentObjective &objective, RunObserver *observer, const PolishSettings &settings);

} // namespace tessarin
