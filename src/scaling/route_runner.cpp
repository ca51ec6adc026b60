#include "scaling/route_runner.h"

#include "base/random_source.h"
#include "fit/layout_fitness.h"
#include "run/run_observer.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_axes.h"

namespace tessarin {

RouteRunner::RouteRunner(const DistanceData &data, const MapMeasure &measure, RunObserver *observer,
                         const PolishSettings &polish)
    : m_data(data), m_n(data.ItemCount), m_measure(measure), m_observer(observer), m_polish(polish),
      m_duplicates(data)
{
}

void RouteRunner::route(const std::string &name, const std::string &description, const std::function<bool()> &body)
{
    if (m_stopped)
        return;
    m_route = RouteOutcome{};
    m_route.name = name;
    m_route.score = m_measure.worst;
    m_stage = "route " + name;
    m_started = std::chrono::steady_clock::now();
    m_stopped = !body();
    m_route.description = m_stopped ? description + " (stopped)" : description;
    m_route.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    m_routes.push_back(m_route);
}

bool RouteRunner::polish(std::vector<double> &coords, int dimensions, const DescentObjective &objective, bool scored,
                         int maxIterations)
{
    PolishSettings polish = m_polish;
    polish.maxIterations = maxIterations;
    const int before = m_route.iterations;
    const DescentHook hook = [&](int iteration, const std::vector<double> &now, double) {
        m_route.iterations = before + iteration;
        if (!m_observer)
            return true;
        m_observer->progress(m_stage, m_route.iterations);
        if (m_observer->wantsMap())
            showBest(scored ? &now : nullptr);
        return !m_observer->stopRequested();
    };
    const DescentOutcome outcome = DescendMap(objective, m_measure, dimensions, m_duplicates, coords, polish, hook);
    m_route.iterations = before + outcome.iterations;
    if (outcome.stopped && scored)
        offer(coords);
    return !outcome.stopped;
}

bool RouteRunner::polishAndOffer(std::vector<double> &coords, const DescentObjective &objective, int maxIterations)
{
    if (!polish(coords, 2, objective, true, maxIterations))
        return false;
    offer(coords);
    return true;
}

double RouteRunner::offer(const std::vector<double> &coords)
{
    Layout layout = StoredLayout(ItemMajor(coords, m_n, 2), m_n);
    const double score = m_measure.score(layout);
    if (!m_valid || ClearlyBetter(m_measure.improvement, score, m_bestScore)) {
        m_bestLayout = std::move(layout);
        m_bestScore = score;
        m_winner = m_route.name;
        m_valid = true;
    }
    if (Better(m_measure.improvement, score, m_route.score))
        m_route.score = score;
    return score;
}

bool RouteRunner::polishDeepStart(const DescentObjective &deep, int deepIterations, const DescentObjective &flat,
                                  int flatIterations, std::vector<double> &turned)
{
    turned = CoordinateMajor(ClassicalCoordinates(m_data, 3, m_observer), m_n, 3);
    if (!polish(turned, 3, deep, false, deepIterations))
        return false;
    std::vector<double> itemMajor = ItemMajor(turned, m_n, 3);
    RotateToPrincipalAxes(itemMajor, m_n, 3);
    turned = CoordinateMajor(itemMajor, m_n, 3);
    std::vector<double> coords(turned.begin(), turned.begin() + 2 * static_cast<std::ptrdiff_t>(m_n));
    return polishAndOffer(coords, flat, flatIterations);
}

bool RouteRunner::polishRandomStarts(std::uint64_t seed, int count, double side, const DescentObjective &flat,
                                     int maxIterations)
{
    FixedSequence sequence(seed);
    for (int s = 0; s < count; ++s) {
        std::vector<double> coords(2 * static_cast<std::size_t>(m_n));
        for (double &c : coords)
            c = sequence.nextUnit() * side;
        if (!polishAndOffer(coords, flat, maxIterations))
            return false;
    }
    return true;
}

std::vector<double> RouteRunner::bestCoords() const
{
    std::vector<double> coords(2 * static_cast<std::size_t>(m_n));
    for (std::size_t k = 0; k < coords.size(); ++k)
        coords[k] = m_bestLayout[k + 1];
    return coords;
}

double RouteRunner::fitOf(const Layout &layout, double score) const
{
    return m_measure.scoreIsFit ? score : LayoutFitness(m_data, layout);
}

void RouteRunner::showBest(const std::vector<double> *current)
{
    if (current) {
        const Layout layout = StoredLayout(ItemMajor(*current, m_n, 2), m_n);
        const double score = m_measure.score(layout);
        if (!m_valid || Better(m_measure.improvement, score, m_bestScore)) {
            m_observer->improved(layout, fitOf(layout, score));
            return;
        }
    }
    if (m_valid)
        m_observer->improved(m_bestLayout, fitOf(m_bestLayout, m_bestScore));
}

} // namespace tessarin
