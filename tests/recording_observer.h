#pragma once

#include "data/layout.h"
#include "run/run_observer.h"

#include <string>
#include <utility>
#include <vector>

namespace tessarin::testing {

/// A scaling observer that records what a solver tells it, wants a map at
/// every `mapEvery`-th iteration and asks to stop after `stopAfter` polls.
class RecordingObserver : public RunObserver {
public:
    int mapEvery = 0;  // 0: never
    int stopAfter = -1; // -1: never
    std::vector<std::pair<std::string, int>> progressCalls;
    std::vector<Layout> maps;
    std::vector<double> fits;
    int stopPolls = 0;

    void progress(const std::string &stage, int iteration) override { progressCalls.emplace_back(stage, iteration); }
    bool wantsMap() override { return mapEvery > 0 && progressCalls.size() % mapEvery == 0; }
    void improved(const Layout &layout, double fit) override
    {
        maps.push_back(layout);
        fits.push_back(fit);
    }
    bool stopRequested() override { return stopAfter >= 0 && ++stopPolls > stopAfter; }
};

} // namespace tessarin::testing
