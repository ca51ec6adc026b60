#pragma once

#include "data/layout.h"

#include <string>

namespace tessarin {

/// What every solver tells whoever runs it (the window, the batch mode, a
/// test), between its iterations or generations: the stage and how far it
/// is, the best map so far when the caller wants one, and whether to stop.
/// The solver never draws and never looks at a clock; the caller decides
/// when it wants a map and what it does with it. Nothing the observer does
/// changes the solver's result.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    /// The stage that runs ("search", "classical", "polish", "route a" ..
    /// "route e") and its iteration or generation so far. The map solvers
    /// call it once per iteration; the search once every 10th generation.
    virtual void progress(const std::string &stage, int iteration) = 0;
    /// True when the caller wants the best map so far now (the window asks
    /// at most about 10 times a second); the solver then calls improved().
    /// The search hands over every improvement without asking.
    virtual bool wantsMap() = 0;
    /// The best map so far, in stored form (positions 1..2N, 5..995), and
    /// its LayoutFitness.
    virtual void improved(const Layout &layout, double fit) = 0;
    /// True when the solver should stop at this check and return the best
    /// map so far (a Stop, a Close, Ctrl-C).
    virtual bool stopRequested() = 0;
};

/// An observer that wants nothing and never stops a run.
class QuietObserver final : public RunObserver {
public:
    void progress(const std::string &, int) override {}
    bool wantsMap() override { return false; }
    void improved(const Layout &, double) override {}
    bool stopRequested() override { return false; }
};

} // namespace tessarin
