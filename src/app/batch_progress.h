#pragma once

#include "run/run_observer.h"

#include <chrono>
#include <functional>
#include <string>

namespace tessarin {

/// The batch mode's observer of a run: on a terminal (`live`) it shows the
/// stage, how far it is and the fit of the best map so far on one line of
/// standard error, at most about 10 times a second for the map stages; it
/// passes Ctrl-C (`stop`) on as a stop. What it shows never changes a run.
class BatchProgress final : public RunObserver {
public:
    /// What the line shows: the search's generation of `generations`, or a
    /// map stage's iteration.
    enum class Shown { Search, MapStage };

    BatchProgress(Shown shown, bool live, double generations, std::function<bool()> stop);
    ~BatchProgress() override { end(); }
    BatchProgress(const BatchProgress &) = delete;
    BatchProgress &operator=(const BatchProgress &) = delete;

    void progress(const std::string &stage, int iteration) override;
    bool wantsMap() override;
    void improved(const Layout &layout, double fit) override;
    bool stopRequested() override { return m_stop && m_stop(); }

    /// Ends the line shown, if any.
    void end();

private:
    using Clock = std::chrono::steady_clock;
    void showSearch();

    Shown m_shown;
    bool m_live;
    double m_generations;
    std::function<bool()> m_stop;
    Clock::time_point m_started;
    Clock::time_point m_lastShown;
    bool m_lineOpen = false;
    std::string m_stage;
    int m_iteration = 0;
    std::string m_fitText = "0";
};

} // namespace tessarin
