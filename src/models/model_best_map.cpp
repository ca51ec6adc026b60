#include "models/model_best_map.h"

#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "models/model_loss.h"
#include "models/model_measure.h"
#include "models/stored_model_stress.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/duplicate_items.h"
#include "base/random_source.h"
#include "scaling/map_axes.h"
#include "run/run_observer.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <utility>
#include <memory>

namespace tessarin {

ModelBestMapSettings ModelBestMapSettingsFor(int itemCount)
{
    // Random starts rarely win once the classical and the fit's maps are in,
    // but each costs as much as another route: small tables get eight,
    // larger ones fewer and shorter.
    ModelBestMapSettings settings;
    // A polish under a stress model is within 1e-6 of its end after about
    // ten iterations; five more without gain are enough to stop (the
    // figures on the reference tables are the same as with ten).
    settings.polish.past = 5;
    // Above a thousand items only the classical and the fit's starts run:
    // each other route costs several seconds there, and on the clustered
    // tables of the benchmark none of them gave a lower stress.
    if (itemCount > 1000) {
        settings.deepRoute = false;
        settings.chainRoute = false;
        settings.randomStarts = 0;
    } else if (itemCount > 500) {
        settings.randomStarts = 1;
        settings.randomIterations = 150;
    } else if (itemCount > 100) {
        settings.randomStarts = 1;
        settings.randomIterations = 200;
    }
    return settings;
}

namespace {

constexpr std::uint64_t RandomStartSeed = 0x5a3c0e1d9b7f2468ULL;

/// Passes everything on to `inner`, reporting progress under `stage`: a fit
/// polish inside a route counts as the route's.
class RouteStageObserver : public RunObserver {
public:
    RouteStageObserver(RunObserver *inner, std::string stage) : m_inner(inner), m_stage(std::move(stage)) {}
    void progress(const std::string &, int iteration) override { m_inner->progress(m_stage, iteration); }
    bool wantsMap() override { return m_inner->wantsMap(); }
    void improved(const Layout &layout, double fit) override { m_inner->improved(layout, fit); }
    bool stopRequested() override { return m_inner->stopRequested(); }

private:
    RunObserver *m_inner;
    std::string m_stage;
};

/// The models polished before `model` on route d.
std::vector<StressModel> chainBefore(StressModel model)
{
    switch (model) {
    case StressModel::Interval:
        return {StressModel::Ratio};
    case StressModel::Ordinal:
        return {StressModel::Ratio, StressModel::Interval};
    case StressModel::Sammon:
        return {StressModel::Ratio};
    default:
        return {};
    }
}

class RouteRunner {
public:
    RouteRunner(const DistanceData &data, const ModelSetting &setting, RunObserver *observer,
                PairWeights weights, const ModelBestMapSettings &settings)
        : m_data(data), m_n(data.ItemCount), m_setting(setting), m_observer(observer), m_weights(weights),
          m_settings(settings), m_duplicates(data), m_flat(data, setting, 2, weights), m_measure(ModelMeasure(m_flat))
    {
    }

    /// Polishes coordinate-major `coords` of `dimensions` under `model` in
    /// place; counts the iterations towards the running route. Returns false
    /// when the observer asked to stop (a 2-D map under the model is offered
    /// first).
    bool polish(std::vector<double> &coords, int dimensions, StressModel model, int maxIterations)
    {
        ModelLoss &loss = lossFor(model, dimensions);
        PolishSettings polish = m_settings.polish;
        polish.maxIterations = maxIterations;
        const int before = m_iterations;
        const bool own = dimensions == 2 && model == m_setting.model;
        const DescentHook hook = [&](int iteration, const std::vector<double> &now, double) {
            m_iterations = before + iteration;
            if (!m_observer)
                return true;
            m_observer->progress(m_stage, m_iterations);
            if (m_observer->wantsMap())
                showBest(own ? &now : nullptr);
            return !m_observer->stopRequested();
        };
        const DescentOutcome outcome =
            DescendMap([&](const double *at, double *gradient) { return loss.evaluate(at, gradient); }, m_measure,
                       dimensions, m_duplicates, coords, polish, hook);
        m_iterations = before + outcome.iterations;
        if (outcome.stopped && own)
            offer(coords);
        return !outcome.stopped;
    }

    /// Keeps a 2-D coordinate-major map when its stress is below the best
    /// so far by more than 1e-9 * stress; returns it.
    double offer(const std::vector<double> &coords)
    {
        Layout layout = StoredLayout(ItemMajor(coords, m_n, 2), m_n);
        const double stress = StoredModelStress(m_flat, layout);
        if (!m_valid || stress < m_best.stress - 1e-9 * std::fabs(m_best.stress)) {
            m_best.layout = std::move(layout);
            m_best.stress = stress;
            m_best.winner = m_route;
            m_valid = true;
        }
        m_routeStress = std::min(m_routeStress, stress);
        return stress;
    }

    /// The best map so far, coordinate-major.
    std::vector<double> bestCoords() const { return StoredCoordinates(m_best.layout, m_n); }

    void beginRoute(const std::string &name, const std::string &description)
    {
        m_route = name;
        m_description = description;
        m_stage = "route " + name;
        m_iterations = 0;
        m_routeStress = HUGE_VAL;
        m_started = std::chrono::steady_clock::now();
    }

    ModelRouteOutcome endRoute(bool stopped = false)
    {
        ModelRouteOutcome outcome;
        outcome.name = m_route;
        outcome.description = stopped ? m_description + " (stopped)" : m_description;
        outcome.stress = m_routeStress;
        outcome.iterations = m_iterations;
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
        return outcome;
    }

    struct Best {
        Layout layout;
        double stress = 0.0;
        std::string winner;
    };
    const Best &best() const { return m_best; }
    bool valid() const { return m_valid; }

private:
    ModelLoss &lossFor(StressModel model, int dimensions)
    {
        if (model == m_setting.model && dimensions == 2)
            return m_flat;
        const int key = static_cast<int>(model) * 4 + dimensions;
        auto found = m_others.find(key);
        if (found == m_others.end()) {
            ModelSetting setting = m_setting;
            setting.model = model;
            found = m_others.emplace(key, std::make_unique<ModelLoss>(m_data, setting, dimensions, m_weights)).first;
        }
        return *found->second;
    }

    void showBest(const std::vector<double> *current)
    {
        if (current) {
            const Layout layout = StoredLayout(ItemMajor(*current, m_n, 2), m_n);
            const double stress = StoredModelStress(m_flat, layout);
            if (!m_valid || stress < m_best.stress) {
                m_observer->improved(layout, LayoutFitness(m_data, layout));
                return;
            }
        }
        if (m_valid)
            m_observer->improved(m_best.layout, LayoutFitness(m_data, m_best.layout));
    }

    const DistanceData &m_data;
    int m_n;
    ModelSetting m_setting;
    RunObserver *m_observer;
    PairWeights m_weights;
    ModelBestMapSettings m_settings;
    DuplicateItems m_duplicates;
    ModelLoss m_flat;
    MapMeasure m_measure;
    std::map<int, std::unique_ptr<ModelLoss>> m_others;
    Best m_best;
    bool m_valid = false;
    std::string m_route;
    std::string m_description;
    std::string m_stage;
    int m_iterations = 0;
    double m_routeStress = HUGE_VAL;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace

ModelBestMapResult FindBestModelMap(const DistanceData &data, const ModelSetting &setting, RunObserver *observer,
                                    PairWeights weights, const Layout *fitBest)
{
    return FindBestModelMap(data, setting, observer, weights, fitBest, ModelBestMapSettingsFor(data.ItemCount));
}

ModelBestMapResult FindBestModelMap(const DistanceData &data, const ModelSetting &setting, RunObserver *observer,
                                    PairWeights weights, const Layout *fitBest, const ModelBestMapSettings &settings)
{
    const int n = data.ItemCount;
    if (n <= 0)
        throw TessarinError("a best map needs distances: no distance file has been read");
    ModelBestMapResult result;
    if (setting.model == StressModel::Fit) {
        const BestMapResult plain = FindBestMap(data, observer);
        result.layout = plain.layout;
        result.fit = plain.fit;
        result.stress = 1.0 - plain.fit;
        result.winner = plain.winner;
        result.stopped = plain.stopped;
        for (const RouteOutcome &route : plain.routes)
            result.routes.push_back({route.name, route.description, 1.0 - route.fit, route.iterations, route.seconds});
        return result;
    }
    RouteRunner runner(data, setting, observer, weights, settings);
    const std::size_t pairs = n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 1;
    const double meanGiven = static_cast<double>(data.DistanceSum) / static_cast<double>(pairs);
    const StressModel model = setting.model;

    // Each route returns false when the observer asked to stop; the routes
    // after it do not run.
    const std::vector<double> classical = ClassicalCoordinates(data, 2, observer);
    const auto routeA = [&] {
        runner.beginRoute("a", "2-D classical start, polished");
        std::vector<double> coords = CoordinateMajor(classical, n, 2);
        runner.offer(coords);
        return runner.polish(coords, 2, model, settings.polish.maxIterations) && (runner.offer(coords), true);
    };
    const auto routeB = [&] {
        runner.beginRoute("b", fitBest ? "the fit's best map, polished"
                                       : "the classical map polished under the fit measure, polished");
        Layout start;
        if (fitBest) {
            start = *fitBest;
        } else {
            RouteStageObserver routeObserver(observer, "route b");
            const PolishResult plain =
                PolishLayout(data, StoredLayout(classical, n), observer ? &routeObserver : nullptr, settings.polish);
            if (plain.stopped)
                return false;
            start = plain.layout;
        }
        std::vector<double> coords = StoredCoordinates(start, n);
        runner.offer(coords);
        return runner.polish(coords, 2, model, settings.polish.maxIterations) && (runner.offer(coords), true);
    };
    const auto routeC = [&] {
        runner.beginRoute("c", "3-D classical start polished, projected, polished");
        std::vector<double> deep = CoordinateMajor(ClassicalCoordinates(data, 3, observer), n, 3);
        if (!runner.polish(deep, 3, model, settings.deepIterations))
            return false;
        std::vector<double> itemMajor = ItemMajor(deep, n, 3);
        RotateToPrincipalAxes(itemMajor, n, 3);
        deep = CoordinateMajor(itemMajor, n, 3);
        std::vector<double> coords(deep.begin(), deep.begin() + 2 * static_cast<std::ptrdiff_t>(n));
        return runner.polish(coords, 2, model, settings.polish.maxIterations) && (runner.offer(coords), true);
    };
    const std::vector<StressModel> chain = chainBefore(model);
    const auto routeD = [&] {
        std::string description = "the best map so far polished under";
        for (StressModel step : chain)
            description += std::string(" ") + ModelKey(step) + ",";
        runner.beginRoute("d", description + " then under " + ModelKey(model));
        std::vector<double> coords = runner.bestCoords();
        for (StressModel step : chain)
            if (!runner.polish(coords, 2, step, settings.chainIterations))
                return false;
        return runner.polish(coords, 2, model, settings.polish.maxIterations) && (runner.offer(coords), true);
    };
    const auto routeE = [&] {
        runner.beginRoute("e", settings.randomStarts == 1
                                   ? std::string("1 random start, polished")
                                   : std::to_string(settings.randomStarts) + " random starts, each polished");
        FixedSequence sequence(RandomStartSeed);
        const double side = 2.0 * meanGiven;
        for (int s = 0; s < settings.randomStarts; ++s) {
            std::vector<double> coords(2 * static_cast<std::size_t>(n));
            for (double &c : coords)
                c = sequence.nextUnit() * side;
            if (!runner.polish(coords, 2, model, settings.randomIterations))
                return false;
            runner.offer(coords);
        }
        return true;
    };
    const std::vector<std::pair<bool, std::function<bool()>>> routes = {
        {true, routeA},
        {settings.fitRoute && n > 2, routeB},
        {settings.deepRoute && n > 3, routeC},
        {settings.chainRoute && !chain.empty(), routeD},
        {settings.randomStarts > 0, routeE},
    };
    for (const auto &[wanted, route] : routes) {
        if (!wanted)
            continue;
        if (!route()) {
            result.routes.push_back(runner.endRoute(true));
            result.stopped = true;
            break;
        }
        result.routes.push_back(runner.endRoute());
    }
    if (runner.valid()) {
        result.layout = runner.best().layout;
        result.stress = runner.best().stress;
        result.winner = runner.best().winner;
    } else {
        result.layout = ClassicalLayout(data);
        ModelLoss loss(data, setting, 2, weights);
        result.stress = StoredModelStress(loss, result.layout);
        result.winner = "a";
    }
    result.fit = LayoutFitness(data, result.layout);
    return result;
}

} // namespace tessarin
