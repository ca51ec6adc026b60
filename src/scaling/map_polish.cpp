#include "scaling/map_polish.h"

#include "base/tessarin_error.h"
#include "fit/fit_gradient.h"
#include "fit/layout_fitness.h"
#include "run/run_observer.h"
#include "scaling/classical_scaling.h"
#include "scaling/duplicate_items.h"
#include "scaling/map_axes.h"

#include <string>

namespace tessarin {

namespace {

bool allOnePoint(const std::vector<double> &coords, int n)
{
    for (int d = 0; d < 2; ++d)
        for (int j = 1; j < n; ++j)
            if (coords[static_cast<std::size_t>(d) * n + j] != coords[static_cast<std::size_t>(d) * n])
                return false;
    return true;
}

} // namespace

void CheckPolishStart(const DistanceData &data, const Layout &start)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a polish needs distances: no distance file has been read");
    if (start.size() < 2 * static_cast<std::size_t>(n) + 1)
        throw TessarinError("the map to polish holds " + std::to_string((start.size() > 0 ? start.size() - 1 : 0) / 2) +
                            " items, but the table has " + std::to_string(n));
}

MeasuredPolish PolishMap(const DistanceData &data, const Layout &start, const MapMeasure &measure,
                         const DescentObjective &objective, RunObserver *observer, const PolishSettings &settings)
{
    CheckPolishStart(data, start);
    const int n = data.ItemCount;
    MeasuredPolish result;
    result.layout.assign(start.begin(), start.begin() + 2 * static_cast<std::ptrdiff_t>(n) + 1);
    result.score = measure.score(result.layout);
    if (n < 2)
        return result;

    std::vector<double> coords(2 * static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < coords.size(); ++k)
        coords[k] = start[k + 1];
    // A map with every item on one point has no gradient to follow; the
    // classical map is the start then (it is kept only if it is better).
    if (allOnePoint(coords, n))
        coords = CoordinateMajor(ClassicalCoordinates(data, 2, observer), n, 2);

    const DuplicateItems duplicates(data);
    const double startScore = result.score;
    const auto fitOf = [&](const Layout &layout, double score) {
        return measure.scoreIsFit ? score : LayoutFitness(data, layout);
    };
    const DescentHook hook = [&](int iteration, const std::vector<double> &now, double) {
        if (!observer)
            return true;
        observer->progress("polish", iteration);
        if (observer->wantsMap()) {
            const Layout layout = StoredLayout(ItemMajor(now, n, 2), n);
            const double score = measure.score(layout);
            if (AtLeastAsGood(measure.improvement, score, startScore))
                observer->improved(layout, fitOf(layout, score));
            else
                observer->improved(result.layout, fitOf(result.layout, startScore));
        }
        return !observer->stopRequested();
    };
    const DescentOutcome outcome = DescendMap(objective, measure, 2, duplicates, coords, settings, hook);
    result.iterations = outcome.iterations;
    result.stopped = outcome.stopped;

    Layout polished = StoredLayout(ItemMajor(coords, n, 2), n);
    const double score = measure.score(polished);
    if (AtLeastAsGood(measure.improvement, score, startScore)) {
        result.layout = std::move(polished);
        result.score = score;
    }
    return result;
}

PolishResult PolishLayout(const DistanceData &data, const Layout &start, RunObserver *observer,
                          const PolishSettings &settings)
{
    FitGradient fitGradient(data, 2);
    const MeasuredPolish polished =
        PolishMap(data, start, FitMeasure(data),
                  [&](const double *coords, double *gradient) { return fitGradient.evaluate(coords, 0.0, gradient); },
                  observer, settings);
    return {polished.layout, polished.score, polished.iterations, polished.stopped};
}

} // namespace tessarin
