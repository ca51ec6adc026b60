#pragma once

#include "search/search_host.h"

#include <functional>
#include <string>
#include <vector>

namespace tessarin::testing {

/// A search host that records what the search asks of the window.
class RecordingHost : public SearchHost {
public:
    std::string generations = "1000";
    std::vector<std::string> shownGenerations;
    std::vector<double> drawnFits;
    std::vector<std::vector<float>> drawnLayouts;
    std::vector<std::string> calls; // "open off", "prepare", "busy", ...
    int stopChecks = 0;
    /// Answers stopRequested(); by default never.
    std::function<bool()> stop = [] { return false; };
    /// Runs inside drawImprovement, as event processing would.
    std::function<void()> onDraw;

    void setOpenEnabled(bool enabled) override { calls.push_back(enabled ? "open on" : "open off"); }
    void prepareMap() override { calls.push_back("prepare"); }
    void setBusy(bool busy) override { calls.push_back(busy ? "busy" : "default"); }
    std::string generationsText() override { return generations; }
    void drawImprovement(const float *layout, int itemCount, double fit) override
    {
        drawnFits.push_back(fit);
        drawnLayouts.emplace_back(layout, layout + 2 * itemCount + 1);
        if (onDraw)
            onDraw();
    }
    void showGeneration(const std::string &text) override { shownGenerations.push_back(text); }
    void processEvents() override {}
    bool stopRequested() override
    {
        ++stopChecks;
        return stop();
    }
};

} // namespace tessarin::testing
