#include "batch_stages.h"

#include "data/layout_fitness.h"
#include "display/str_n.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_polish.h"
#include "scaling/scaling_observer.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace tessarin {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

/// Shows the running stage on a terminal, about 10 times a second, with the
/// fit of the best map so far; passes Ctrl-C on as a stop.
class BatchObserver final : public ScalingObserver {
public:
    BatchObserver(bool live, const std::function<bool()> &stop) : m_live(live), m_stop(stop) {}
    ~BatchObserver() override
    {
        if (m_shown)
            std::fputs("\n", stderr);
    }

    void progress(const std::string &stage, int iteration) override
    {
        m_stage = stage;
        m_iteration = iteration;
        lastIteration = iteration;
    }
    bool wantsMap() override
    {
        if (!m_live)
            return false;
        const Clock::time_point now = Clock::now();
        if (m_shown && now - m_lastShown < std::chrono::milliseconds(100))
            return false;
        m_lastShown = now;
        return true;
    }
    void improved(const Layout &, double fit) override
    {
        std::fprintf(stderr, "\r%s: iteration %d  fit %s %%   ", m_stage.c_str(), m_iteration,
                     strN(6, fit * 100.0).c_str());
        std::fflush(stderr);
        m_shown = true;
    }
    bool stopRequested() override { return m_stop && m_stop(); }

    int lastIteration = 0;

private:
    bool m_live;
    const std::function<bool()> &m_stop;
    std::string m_stage;
    int m_iteration = 0;
    bool m_shown = false;
    Clock::time_point m_lastShown;
};

std::string fitText(double fit) { return "fit " + Significant9(fit); }

} // namespace

std::string Significant9(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
    return std::string(buffer, result.ptr);
}

BatchStages::BatchStages(const DistanceData &data, bool live, std::function<bool()> stopRequested)
    : m_data(data), m_live(live), m_stopRequested(std::move(stopRequested))
{
}

void BatchStages::classicalStart(Layout &best)
{
    const Clock::time_point start = Clock::now();
    int products = 0;
    {
        BatchObserver observer(false, m_stopRequested);
        const int n = m_data.ItemCount;
        best = StoredLayout(ClassicalCoordinates(m_data, 2, &observer), n);
        products = observer.lastIteration;
    }
    const double fit = LayoutFitness(m_data, best);
    m_stages.push_back({"classical start", fitText(fit) + ", " + std::to_string(products) + " operator products",
                        secondsSince(start)});
}

void BatchStages::bestMap(Layout &best)
{
    const Clock::time_point start = Clock::now();
    BestMapResult result;
    {
        BatchObserver observer(m_live, m_stopRequested);
        result = FindBestMap(m_data, &observer);
    }
    const double seconds = secondsSince(start);
    const std::size_t size = 2 * static_cast<std::size_t>(m_data.ItemCount) + 1;
    if (best.size() < size || result.fit >= LayoutFitness(m_data, best))
        best = result.layout;
    std::string detail = std::to_string(result.routes.size()) + " routes, route " + result.winner + " won, " +
                         fitText(result.fit);
    if (result.stopped)
        detail += ", stopped";
    m_stages.push_back({"best map", detail, seconds});
    for (const RouteOutcome &route : result.routes)
        m_stages.push_back({"route " + route.name,
                            route.description + ": " + fitText(route.fit) + ", " + std::to_string(route.iterations) +
                                " iterations",
                            route.seconds});
}

void BatchStages::polish(Layout &best)
{
    const Clock::time_point start = Clock::now();
    best.resize(2 * static_cast<std::size_t>(m_data.ItemCount) + 1, 0.0f);
    PolishResult result;
    {
        BatchObserver observer(m_live, m_stopRequested);
        result = PolishLayout(m_data, best, &observer);
    }
    best = result.layout;
    std::string detail = std::to_string(result.iterations) + " iterations, " + fitText(result.fit);
    if (result.stopped)
        detail += ", stopped";
    m_stages.push_back({"polish", detail, secondsSince(start)});
}

void BatchStages::search(long long generations, double seconds)
{
    m_stages.push_back({"search", std::to_string(generations) + " generations", seconds});
}

void BatchStages::writeSummary(std::ostream &out) const
{
    for (const BatchStage &stage : m_stages) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", stage.seconds);
        out << stage.name << ": " << stage.detail << " (" << seconds << " s)\n";
    }
}

std::string StatisticsNote(const std::string &fileName, const DistanceData &data)
{
    if (!data.StatisticsFromDoubleSums)
        return {};
    char errors[128];
    std::snprintf(errors, sizeof errors, "%.2g for the distances, %.2g for their squares", data.SumRelativeError,
                  data.SquareSumRelativeError);
    return "statistics: " + fileName +
           ": the single-precision sums strayed from the double-precision ones by a relative " + errors +
           "; the double-precision sums were used\n";
}

} // namespace tessarin
