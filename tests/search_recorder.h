#pragma once

#include "run/run_observer.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tessarin::testing {

/// An observer that records what a search tells it.
class SearchRecorder : public RunObserver {
public:
    std::vector<std::pair<std::string, int>> progressCalls;
    std::vector<double> drawnFits;
    std::vector<Layout> drawnLayouts;
    int stopChecks = 0;
    /// Answers stopRequested(); by default never.
    std::function<bool()> stop = [] { return false; };
    /// Runs inside improved(), as the window's event processing would.
    std::function<void()> onDraw;

    void progress(const std::string &stage, int iteration) override { progressCalls.emplace_back(stage, iteration); }
    bool wantsMap() override { return true; }
    void improved(const Layout &layout, double fit) override
    {
        drawnFits.push_back(fit);
        drawnLayouts.push_back(layout);
        if (onDraw)
            onDraw();
    }
    bool stopRequested() override
    {
        ++stopChecks;
        return stop();
    }
};

} // namespace tessarin::testing
