#pragma once

#include "data/layout.h"

#include <string>

namespace tessarin {

/// What the map solvers (classical start, polish, best map) tell the command
/// that runs them, between iterations. The solver never draws and never
/// looks at a clock; the caller decides when it wants a map and draws it.
/// Nothing the observer does changes the solver's result.
class ScalingObserver {
public:
    virtual ~ScalingObserver() = default;

    /// The stage that runs ("classical", "polish", "route a" .. "route e")
    /// and its iteration count so far; called once per iteration.
    virtual void progress(const std::string &stage, int iteration) = 0;
    /// True when the caller wants the best map so far now (the window asks
    /// at most about 10 times a second); the solver then calls improved().
    virtual bool wantsMap() = 0;
    /// The best map so far, in stored form (positions 1..2N, 5..995), and
    /// its LayoutFitness.
    virtual void improved(const Layout &layout, double fit) = 0;
    /// True when the solver should stop at this iteration and return the
    /// best map so far.
    virtual bool stopRequested() = 0;
};

} // namespace tessarin
