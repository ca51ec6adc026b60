#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "scaling/map_descent.h"

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

} // namespace tessarin
