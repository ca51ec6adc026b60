#include "app/batch_progress.h"

#include "base/number_texts.h"
#include "base/str_n.h"

#include <cstdio>

namespace tessarin {

BatchProgress::BatchProgress(Shown shown, bool live, double generations, std::function<bool()> stop)
    : m_shown(shown), m_live(live), m_generations(generations), m_stop(std::move(stop)), m_started(Clock::now())
{
}

void BatchProgress::progress(const std::string &stage, int iteration)
{
    m_stage = stage;
    m_iteration = iteration;
    if (m_shown == Shown::Search)
        showSearch();
}

bool BatchProgress::wantsMap()
{
    if (!m_live)
        return false;
    const Clock::time_point now = Clock::now();
    if (m_lineOpen && now - m_lastShown < std::chrono::milliseconds(100))
        return false;
    m_lastShown = now;
    return true;
}

void BatchProgress::improved(const Layout &, double fit)
{
    m_fitText = strN(6, fit * 100.0);
    if (m_shown == Shown::Search) {
        showSearch();
        return;
    }
    std::fprintf(stderr, "\r%s: iteration %d  fit %s %%   ", m_stage.c_str(), m_iteration, m_fitText.c_str());
    std::fflush(stderr);
    m_lineOpen = true;
}

void BatchProgress::showSearch()
{
    if (!m_live)
        return;
    // Shown only; the run's length never depends on the clock.
    const double seconds = std::chrono::duration<double>(Clock::now() - m_started).count();
    std::fprintf(stderr, "\rgeneration %d of %s  fit %s %%  %.1f s   ", m_iteration,
                 ShortestText(m_generations).c_str(), m_fitText.c_str(), seconds);
    std::fflush(stderr);
    m_lineOpen = true;
}

void BatchProgress::end()
{
    if (m_lineOpen)
        std::fputs("\n", stderr);
    m_lineOpen = false;
}

} // namespace tessarin
