#include "run/map_stage.h"

#include "fit/layout_fitness.h"
#include "base/number_texts.h"
#include "models/model_best_map.h"
#include "models/model_polish.h"
#include "run/run_observer.h"
#include "scaling/classical_scaling.h"

#include <chrono>

namespace tessarin {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string fitText(double fit) { return "fit " + SignificantText(fit, 9); }

/// "ordinal stress-1 0.0252501954" (with the ties of an ordinal model).
std::string stressText(const ModelSetting &model, double stress)
{
    std::string text = ModelKey(model.model);
    if (model.model == StressModel::Ordinal)
        text += std::string(" (") + TiesKey(model.ties) + " ties)";
    return text + (model.model == StressModel::Sammon ? " stress " : " stress-1 ") + SignificantText(stress, 9);
}

/// Passes everything on and keeps the last iteration it heard of.
class CountingObserver final : public RunObserver {
public:
    explicit CountingObserver(RunObserver &next) : m_next(next) {}

    void progress(const std::string &stage, int iteration) override
    {
        last = iteration;
        m_next.progress(stage, iteration);
    }
    bool wantsMap() override { return m_next.wantsMap(); }
    void improved(const Layout &layout, double fit) override { m_next.improved(layout, fit); }
    bool stopRequested() override { return m_next.stopRequested(); }

    int last = 0;

private:
    RunObserver &m_next;
};

MapStageOutcome classicalStart(const DistanceData &data, RunObserver &observer)
{
    const Clock::time_point started = Clock::now();
    CountingObserver counting(observer);
    MapStageOutcome outcome;
    outcome.layout = StoredLayout(ClassicalCoordinates(data, 2, &counting), data.ItemCount);
    outcome.fit = LayoutFitness(data, outcome.layout);
    outcome.records.push_back({"classical start",
                               fitText(outcome.fit) + ", " + std::to_string(counting.last) + " operator products",
                               secondsSince(started)});
    return outcome;
}

MapStageOutcome modelPolish(const DistanceData &data, const Layout &from, const PolishSettings &settings,
                            const ModelSetting &model, RunObserver &observer, Clock::time_point started)
{
    ModelPolishResult polished = PolishUnderModel(data, from, model, &observer, settings);
    std::string detail = std::to_string(polished.iterations) + " iterations, " + stressText(model, polished.stress) +
                         ", " + fitText(polished.fit);
    if (polished.stopped)
        detail += ", stopped";
    MapStageOutcome outcome{std::move(polished.layout), polished.fit, polished.stopped, {}, polished.stress};
    outcome.records.push_back({"polish", detail, secondsSince(started)});
    return outcome;
}

MapStageOutcome polish(const DistanceData &data, const Layout &start, const PolishSettings &settings,
                       const ModelSetting &model, RunObserver &observer)
{
    const Clock::time_point started = Clock::now();
    // As a search does with its seed: the map taken to 2N positions.
    Layout from = start;
    from.resize(2 * static_cast<std::size_t>(data.ItemCount > 0 ? data.ItemCount : 0) + 1, 0.0f);
    if (model.model != StressModel::Fit)
        return modelPolish(data, from, settings, model, observer, started);
    PolishResult polished = PolishLayout(data, from, &observer, settings);
    std::string detail = std::to_string(polished.iterations) + " iterations, " + fitText(polished.fit);
    if (polished.stopped)
        detail += ", stopped";
    MapStageOutcome outcome{std::move(polished.layout), polished.fit, polished.stopped, {}, 1.0 - polished.fit};
    outcome.records.push_back({"polish", detail, secondsSince(started)});
    return outcome;
}

MapStageOutcome modelBestMap(const DistanceData &data, const ModelSetting &model, RunObserver &observer)
{
    const Clock::time_point started = Clock::now();
    ModelBestMapResult found = FindBestModelMap(data, model, &observer);
    const double seconds = secondsSince(started);
    std::string detail = std::to_string(found.routes.size()) + " routes, route " + found.winner + " won, " +
                         stressText(model, found.stress) + ", " + fitText(found.fit);
    if (found.stopped)
        detail += ", stopped";
    MapStageOutcome outcome{std::move(found.layout), found.fit, found.stopped, {}, found.stress};
    outcome.records.push_back({"best map", detail, seconds});
    for (const RouteOutcome &route : found.routes)
        outcome.records.push_back({"route " + route.name,
                                   route.description + ": " + stressText(model, route.score) + ", " +
                                       std::to_string(route.iterations) + " iterations",
                                   route.seconds});
    return outcome;
}

MapStageOutcome bestMap(const DistanceData &data, const BestMapSettings &settings, RunObserver &observer)
{
    const Clock::time_point started = Clock::now();
    BestMapResult found = FindBestMap(data, &observer, settings);
    const double seconds = secondsSince(started);
    std::string detail =
        std::to_string(found.routes.size()) + " routes, route " + found.winner + " won, " + fitText(found.fit);
    if (found.stopped)
        detail += ", stopped";
    MapStageOutcome outcome{std::move(found.layout), found.fit, found.stopped, {}, 1.0 - found.fit};
    outcome.records.push_back({"best map", detail, seconds});
    for (const RouteOutcome &route : found.routes)
        outcome.records.push_back({"route " + route.name,
                                   route.description + ": " + fitText(route.score) + ", " +
                                       std::to_string(route.iterations) + " iterations",
                                   route.seconds});
    return outcome;
}

} // namespace

MapStageOutcome RunMapStage(MapStage stage, const DistanceData &data, const Layout &start,
                            const MapStageSettings &settings, RunObserver &observer)
{
    switch (stage) {
    case MapStage::ClassicalStart:
        return classicalStart(data, observer);
    case MapStage::Polish:
        return polish(data, start, settings.polish, settings.model, observer);
    case MapStage::BestMap:
        if (settings.model.model != StressModel::Fit)
            return modelBestMap(data, settings.model, observer);
        return bestMap(data, settings.bestMap ? *settings.bestMap : BestMapSettingsFor(data.ItemCount), observer);
    }
    return {};
}

MapStageOutcome RunMapStage(MapStage stage, const DistanceData &data, const Layout &start, RunObserver &observer)
{
    return RunMapStage(stage, data, start, MapStageSettings{}, observer);
}

} // namespace tessarin
