#include "models/model_best_map.h"

#include "base/tessarin_error.h"
#include "fit/layout_fitness.h"
#include "models/model_loss.h"
#include "models/model_measure.h"
#include "models/stored_model_stress.h"
#include "run/run_observer.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_axes.h"
#include "scaling/route_runner.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

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
        result.routes = plain.routes;
        for (RouteOutcome &route : result.routes)
            route.score = 1.0 - route.score;
        return result;
    }
    ModelLoss own(data, setting, 2, weights);
    const MapMeasure measure = ModelMeasure(own);
    RouteRunner runner(data, measure, observer, settings.polish);
    // The losses of the other models and of three dimensions, made when a
    // route first needs them.
    std::map<int, std::unique_ptr<ModelLoss>> others;
    const auto objective = [&](StressModel model, int dimensions) -> DescentObjective {
        ModelLoss *loss = &own;
        if (model != setting.model || dimensions != 2) {
            const int key = static_cast<int>(model) * 4 + dimensions;
            auto found = others.find(key);
            if (found == others.end()) {
                ModelSetting other = setting;
                other.model = model;
                found = others.emplace(key, std::make_unique<ModelLoss>(data, other, dimensions, weights)).first;
            }
            loss = found->second.get();
        }
        return [loss](const double *coords, double *gradient) { return loss->evaluate(coords, gradient); };
    };
    const std::size_t pairs = n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 1;
    const double meanGiven = static_cast<double>(data.DistanceSum) / static_cast<double>(pairs);
    const StressModel model = setting.model;
    const DescentObjective flat = objective(model, 2);

    const std::vector<double> classical = ClassicalCoordinates(data, 2, observer);
    runner.route("a", "2-D classical start, polished", [&] {
        std::vector<double> coords = CoordinateMajor(classical, n, 2);
        runner.offer(coords);
        return runner.polishAndOffer(coords, flat, settings.polish.maxIterations);
    });
    if (settings.fitRoute && n > 2) {
        runner.route("b",
                     fitBest ? "the fit's best map, polished"
                             : "the classical map polished under the fit measure, polished",
                     [&] {
                         Layout start;
                         if (fitBest) {
                             start = *fitBest;
                         } else {
                             RouteStageObserver routeObserver(observer, "route b");
                             const PolishResult plain = PolishLayout(data, StoredLayout(classical, n),
                                                                     observer ? &routeObserver : nullptr,
                                                                     settings.polish);
                             if (plain.stopped)
                                 return false;
                             start = plain.layout;
                         }
                         std::vector<double> coords = StoredCoordinates(start, n);
                         runner.offer(coords);
                         return runner.polishAndOffer(coords, flat, settings.polish.maxIterations);
                     });
    }
    if (settings.deepRoute && n > 3) {
        runner.route("c", "3-D classical start polished, projected, polished", [&] {
            std::vector<double> turned;
            return runner.polishDeepStart(objective(model, 3), settings.deepIterations, flat,
                                          settings.polish.maxIterations, turned);
        });
    }
    const std::vector<StressModel> chain = chainBefore(model);
    if (settings.chainRoute && !chain.empty()) {
        std::string description = "the best map so far polished under";
        for (StressModel step : chain)
            description += std::string(" ") + ModelKey(step) + ",";
        runner.route("d", description + " then under " + ModelKey(model), [&] {
            std::vector<double> coords = runner.bestCoords();
            for (StressModel step : chain)
                if (!runner.polish(coords, 2, objective(step, 2), false, settings.chainIterations))
                    return false;
            return runner.polishAndOffer(coords, flat, settings.polish.maxIterations);
        });
    }
    if (settings.randomStarts > 0) {
        runner.route("e",
                     settings.randomStarts == 1
                         ? std::string("1 random start, polished")
                         : std::to_string(settings.randomStarts) + " random starts, each polished",
                     [&] {
                         return runner.polishRandomStarts(RandomStartSeed, settings.randomStarts, 2.0 * meanGiven,
                                                          flat, settings.randomIterations);
                     });
    }

    result.stopped = runner.stopped();
    result.routes = runner.routes();
    if (runner.valid()) {
        result.layout = runner.bestLayout();
        result.stress = runner.bestScore();
        result.winner = runner.winner();
    } else {
        result.layout = ClassicalLayout(data);
        result.stress = StoredModelStress(own, result.layout);
        result.winner = "a";
    }
    result.fit = LayoutFitness(data, result.layout);
    return result;
}

} // namespace tessarin
