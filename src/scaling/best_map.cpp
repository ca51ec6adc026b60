#include "scaling/best_map.h"

#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "scaling/classical_scaling.h"
#include "scaling/duplicate_items.h"
#include "fit/fit_gradient.h"
#include "base/random_source.h"
#include "scaling/map_axes.h"
#include "run/run_observer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>

namespace tessarin {

BestMapSettings BestMapSettingsFor(int itemCount)
{
    // A random start rarely wins on real tables but costs as much as all the
    // other routes together; from a thousand items on, fewer of them, each
    // with a shorter budget, keep Best map within a few seconds.
    BestMapSettings settings;
    settings.randomIterations = 300;
    if (itemCount > 1000) {
        settings.randomStarts = 2;
        settings.randomIterations = 200;
    } else if (itemCount > 500) {
        settings.randomStarts = 4;
    }
    return settings;
}

namespace {

constexpr std::uint64_t RandomStartSeed = 0x0b357a9c3e5d1f27ULL;

/// What a polish on a route ascends beyond the plain fit.
struct AscentSettings {
    /// Added to every squared map distance (distance smoothing), 0 for the
    /// true fit.
    double smoothing = 0.0;
    /// The depth of a 3-D map stays as it is.
    bool heldDepth = false;
};

class RouteRunner {
public:
    RouteRunner(const DistanceData &data, RunObserver *observer, const BestMapSettings &settings)
        : m_data(data), m_n(data.ItemCount), m_observer(observer), m_settings(settings), m_measure(FitMeasure(data)),
          m_duplicates(data), m_flat(data, 2)
    {
    }

    /// Polishes coordinate-major `coords` of `dimensions` in place; counts
    /// the iterations towards the running route. Returns false when the
    /// observer asked to stop (coords then hold the best so far).
    bool polish(std::vector<double> &coords, int dimensions, const AscentSettings &ascent, int maxIterations)
    {
        FitGradient &fitGradient = dimensions == 3 ? deep() : m_flat;
        PolishSettings polish = m_settings.polish;
        polish.maxIterations = maxIterations;
        const int before = m_iterations;
        const DescentHook hook = [&](int iteration, const std::vector<double> &now, double) {
            m_iterations = before + iteration;
            if (!m_observer)
                return true;
            m_observer->progress(m_stage, m_iterations);
            if (m_observer->wantsMap())
                showBest(dimensions == 2 ? &now : nullptr);
            return !m_observer->stopRequested();
        };
        const DescentObjective objective = [&](const double *at, double *gradient) {
            const double fit = fitGradient.evaluate(at, ascent.smoothing, gradient);
            if (ascent.heldDepth)
                std::fill(gradient + 2 * static_cast<std::ptrdiff_t>(m_n), gradient + 3 * static_cast<std::ptrdiff_t>(m_n),
                          0.0);
            return fit;
        };
        const DescentOutcome outcome = DescendMap(objective, m_measure, dimensions, m_duplicates, coords, polish, hook);
        m_iterations = before + outcome.iterations;
        if (outcome.stopped && dimensions == 2)
            offer(coords);
        return !outcome.stopped;
    }

    /// Keeps a 2-D coordinate-major map when it beats the best so far by
    /// more than 1e-9 * fit; returns its LayoutFitness.
    double offer(const std::vector<double> &coords)
    {
        Layout layout = StoredLayout(ItemMajor(coords, m_n, 2), m_n);
        const double fit = LayoutFitness(m_data, layout);
        if (!m_result.fit_valid || fit > m_result.fit + 1e-9 * std::fabs(m_result.fit)) {
            m_result.layout = std::move(layout);
            m_result.fit = fit;
            m_result.winner = m_route;
            m_result.fit_valid = true;
        }
        m_routeFit = std::max(m_routeFit, fit);
        return fit;
    }

    void beginRoute(const std::string &name, const std::string &description)
    {
        m_route = name;
        m_description = description;
        m_stage = "route " + name;
        m_iterations = 0;
        m_routeFit = -2.0;
        m_started = std::chrono::steady_clock::now();
    }

    RouteOutcome endRoute(bool stopped = false)
    {
        RouteOutcome outcome;
        outcome.name = m_route;
        outcome.description = stopped ? m_description + " (stopped)" : m_description;
        outcome.fit = m_routeFit;
        outcome.iterations = m_iterations;
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
        return outcome;
    }

    struct Best {
        Layout layout;
        double fit = 0.0;
        std::string winner;
        bool fit_valid = false;
    };
    const Best &best() const { return m_result; }
    const DuplicateItems &duplicates() const { return m_duplicates; }

private:
    FitGradient &deep()
    {
        if (!m_deep)
            m_deep = std::make_unique<FitGradient>(m_data, 3);
        return *m_deep;
    }

    void showBest(const std::vector<double> *current)
    {
        if (current) {
            const Layout layout = StoredLayout(ItemMajor(*current, m_n, 2), m_n);
            const double fit = LayoutFitness(m_data, layout);
            if (!m_result.fit_valid || fit > m_result.fit) {
                m_observer->improved(layout, fit);
                return;
            }
        }
        if (m_result.fit_valid)
            m_observer->improved(m_result.layout, m_result.fit);
    }

    const DistanceData &m_data;
    int m_n;
    RunObserver *m_observer;
    BestMapSettings m_settings;
    MapMeasure m_measure;
    DuplicateItems m_duplicates;
    FitGradient m_flat;
    std::unique_ptr<FitGradient> m_deep;
    Best m_result;
    std::string m_route;
    std::string m_description;
    std::string m_stage;
    int m_iterations = 0;
    double m_routeFit = -2.0;
    std::chrono::steady_clock::time_point m_started;
};

/// The first two coordinates of a 3-D coordinate-major map.
std::vector<double> flatten(const std::vector<double> &deep, int n)
{
    return std::vector<double>(deep.begin(), deep.begin() + 2 * static_cast<std::ptrdiff_t>(n));
}

} // namespace

BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer)
{
    return FindBestMap(data, observer, BestMapSettingsFor(data.ItemCount));
}

BestMapResult FindBestMap(const DistanceData &data, RunObserver *observer, const BestMapSettings &settings)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a best map needs distances: no distance file has been read");
    BestMapResult result;
    RouteRunner runner(data, observer, settings);
    const std::size_t pairs = n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 1;
    const double meanGiven = data.weighted() ? data.WeightedSum / data.WeightTotal
                                             : static_cast<double>(data.DistanceSum) / static_cast<double>(pairs);
    const AscentSettings plain;

    const std::vector<double> flatStart = CoordinateMajor(ClassicalCoordinates(data, 2, observer), n, 2);
    // Runs one route unless an earlier one was stopped; its body returns
    // false when the observer asked to stop, which ends the routes.
    const auto route = [&](const std::string &name, const std::string &description, const auto &body) {
        if (result.stopped)
            return;
        runner.beginRoute(name, description);
        result.stopped = !body();
        result.routes.push_back(runner.endRoute(result.stopped));
    };

    route("a", "2-D classical start, polished", [&] {
        std::vector<double> coords = flatStart;
        runner.offer(coords);
        if (!runner.polish(coords, 2, plain, settings.polish.maxIterations))
            return false;
        runner.offer(coords);
        return true;
    });

    if (settings.deepRoutes) {
        std::vector<double> deepPolished;
        route("b", "3-D classical start polished, projected, polished", [&] {
            deepPolished = CoordinateMajor(ClassicalCoordinates(data, 3, observer), n, 3);
            if (!runner.polish(deepPolished, 3, plain, settings.deepIterations))
                return false;
            std::vector<double> itemMajor = ItemMajor(deepPolished, n, 3);
            RotateToPrincipalAxes(itemMajor, n, 3);
            deepPolished = CoordinateMajor(itemMajor, n, 3);
            std::vector<double> coords = flatten(deepPolished, n);
            if (!runner.polish(coords, 2, plain, settings.polish.maxIterations))
                return false;
            runner.offer(coords);
            return true;
        });

        route("c", "3-D map with its depth held at half, polished, flattened, polished", [&] {
            std::vector<double> coords = deepPolished;
            for (int j = 0; j < n; ++j)
                coords[2 * static_cast<std::size_t>(n) + j] *= 0.5;
            AscentSettings heldDepth;
            heldDepth.heldDepth = true;
            if (!runner.polish(coords, 3, heldDepth, settings.deepIterations))
                return false;
            coords.resize(2 * static_cast<std::size_t>(n));
            if (!runner.polish(coords, 2, plain, settings.polish.maxIterations))
                return false;
            runner.offer(coords);
            return true;
        });
    }

    if (settings.smoothingSteps > 0) {
        route("d", "distance smoothing from the classical start, then polished", [&] {
            std::vector<double> coords = flatStart;
            double epsilon = 0.5 * meanGiven;
            for (int k = 0; k < settings.smoothingSteps; ++k) {
                AscentSettings smooth;
                smooth.smoothing = epsilon * epsilon;
                if (!runner.polish(coords, 2, smooth, settings.smoothingIterations))
                    return false;
                epsilon = epsilon * 0.3;
            }
            if (!runner.polish(coords, 2, plain, settings.polish.maxIterations))
                return false;
            runner.offer(coords);
            return true;
        });
    }

    if (settings.randomStarts > 0) {
        route("e", std::to_string(settings.randomStarts) + " random starts, each polished", [&] {
            FixedSequence sequence(RandomStartSeed);
            const double side = 2.0 * meanGiven;
            for (int s = 0; s < settings.randomStarts; ++s) {
                std::vector<double> coords(2 * static_cast<std::size_t>(n));
                for (double &c : coords)
                    c = sequence.nextUnit() * side;
                if (!runner.polish(coords, 2, plain, settings.randomIterations))
                    return false;
                runner.offer(coords);
            }
            return true;
        });
    }
    result.layout = runner.best().layout;
    result.fit = runner.best().fit;
    result.winner = runner.best().winner;
    return result;
}

} // namespace tessarin
