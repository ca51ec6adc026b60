// The map stages as the window and the batch mode run them: the same maps as
// the solvers give, the records the summary and the report list, Stop, and
// the start a polish takes.
#include "base/number_texts.h"
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "map_tables.h"
#include "recording_observer.h"
#include "run/map_stage.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_polish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ClusteredPoints;
using testing::PointDistances;
using testing::RecordingObserver;

const char *StageName(MapStage stage)
{
    switch (stage) {
    case MapStage::ClassicalStart:
        return "classical start";
    case MapStage::Polish:
        return "polish";
    case MapStage::BestMap:
        return "best map";
    }
    return "";
}

/// Small budgets, so that each stage runs in a moment but still iterates.
MapStageSettings SmallSettings()
{
    MapStageSettings settings;
    settings.polish.maxIterations = 40;
    BestMapSettings best;
    best.polish.maxIterations = 40;
    best.deepIterations = 20;
    best.smoothingSteps = 2;
    best.smoothingIterations = 20;
    best.randomStarts = 2;
    best.randomIterations = 20;
    settings.bestMap = best;
    return settings;
}

/// What the solver gives when called on its own.
struct Direct {
    Layout layout;
    double fit;
};

Direct RunDirectly(MapStage stage, const DistanceData &data, const Layout &start, const MapStageSettings &settings)
{
    switch (stage) {
    case MapStage::ClassicalStart: {
        Layout layout = ClassicalLayout(data);
        return {layout, LayoutFitness(data, layout)};
    }
    case MapStage::Polish: {
        const PolishResult result = PolishLayout(data, start, nullptr, settings.polish);
        return {result.layout, result.fit};
    }
    case MapStage::BestMap: {
        const BestMapResult result = FindBestMap(data, nullptr, *settings.bestMap);
        return {result.layout, result.fit};
    }
    }
    return {};
}

TEST(RunMapStage, GivesTheSolversMapsWhateverTheObserverDoes)
{
    const DistanceData data = PointDistances(ClusteredPoints(24, 3, 3, 11), 3, 0.05);
    const MapStageSettings settings = SmallSettings();
    // A rough start for the polish: the classical map, shifted.
    Layout start = ClassicalLayout(data);
    for (std::size_t k = 1; k < start.size(); ++k)
        start[k] = start[k] * 0.9f + 20.0f;
    for (MapStage stage : {MapStage::ClassicalStart, MapStage::Polish, MapStage::BestMap}) {
        for (int mapEvery : {0, 1, 3}) {
            SCOPED_TRACE(std::string(StageName(stage)) + ", a map every " + std::to_string(mapEvery));
            RecordingObserver observer;
            observer.mapEvery = mapEvery;
            const MapStageOutcome outcome = RunMapStage(stage, data, start, settings, observer);
            const Direct direct = RunDirectly(stage, data, start, settings);
            EXPECT_EQ(outcome.layout, direct.layout);
            EXPECT_EQ(outcome.fit, direct.fit);
            EXPECT_EQ(outcome.fit, LayoutFitness(data, outcome.layout));
            EXPECT_FALSE(outcome.stopped);
            ASSERT_FALSE(outcome.records.empty());
            EXPECT_EQ(outcome.records[0].name, StageName(stage));
            EXPECT_NE(outcome.records[0].detail.find("fit " + SignificantText(outcome.fit, 9)), std::string::npos)
                << outcome.records[0].detail;
            EXPECT_EQ(outcome.records[0].detail.find("stopped"), std::string::npos);
            EXPECT_FALSE(observer.progressCalls.empty());
            if (mapEvery == 0) {
                EXPECT_TRUE(observer.maps.empty());
            }
        }
    }
}

TEST(RunMapStage, RecordsWhatEachStageDid)
{
    const DistanceData data = PointDistances(ClusteredPoints(18, 2, 2, 5), 2, 0.1);
    const MapStageSettings settings = SmallSettings();
    {
        // The classical start counts the operator products it took.
        RecordingObserver observer;
        const MapStageOutcome outcome = RunMapStage(MapStage::ClassicalStart, data, {}, settings, observer);
        ASSERT_EQ(outcome.records.size(), 1u);
        ASSERT_FALSE(observer.progressCalls.empty());
        EXPECT_EQ(observer.progressCalls.back().first, "classical");
        const std::string products = std::to_string(observer.progressCalls.back().second) + " operator products";
        EXPECT_EQ(outcome.records[0].detail, "fit " + SignificantText(outcome.fit, 9) + ", " + products);
    }
    {
        // The best map: its own record, then one per route, in the order run.
        RecordingObserver observer;
        const MapStageOutcome outcome = RunMapStage(MapStage::BestMap, data, {}, settings, observer);
        const BestMapResult direct = FindBestMap(data, nullptr, *settings.bestMap);
        ASSERT_EQ(outcome.records.size(), direct.routes.size() + 1);
        EXPECT_EQ(outcome.records[0].detail, std::to_string(direct.routes.size()) + " routes, route " + direct.winner +
                                                 " won, fit " + SignificantText(direct.fit, 9));
        for (std::size_t k = 0; k < direct.routes.size(); ++k) {
            SCOPED_TRACE("route " + direct.routes[k].name);
            EXPECT_EQ(outcome.records[k + 1].name, "route " + direct.routes[k].name);
            EXPECT_EQ(outcome.records[k + 1].detail, direct.routes[k].description + ": fit " +
                                                         SignificantText(direct.routes[k].score, 9) + ", " +
                                                         std::to_string(direct.routes[k].iterations) + " iterations");
        }
    }
    {
        RecordingObserver observer;
        const MapStageOutcome outcome = RunMapStage(MapStage::Polish, data, ClassicalLayout(data), settings, observer);
        ASSERT_EQ(outcome.records.size(), 1u);
        const PolishResult direct = PolishLayout(data, ClassicalLayout(data), nullptr, settings.polish);
        EXPECT_EQ(outcome.records[0].detail,
                  std::to_string(direct.iterations) + " iterations, fit " + SignificantText(direct.fit, 9));
    }
}

TEST(RunMapStage, AStopEndsTheStageWithTheBestSoFar)
{
    const DistanceData data = PointDistances(ClusteredPoints(30, 3, 4, 7), 3, 0.05);
    const Layout start = ClassicalLayout(data);
    struct Case {
        MapStage stage;
        int stopAfter;
        const char *lastRecord; // the record that says the stage was cut short
        const char *says;
    } cases[] = {
        {MapStage::Polish, 0, "polish", ", stopped"},
        {MapStage::Polish, 3, "polish", ", stopped"},
        {MapStage::BestMap, 0, "route a", "(stopped)"},
        {MapStage::BestMap, 5, "route a", "(stopped)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(StageName(c.stage)) + ", stopped after " + std::to_string(c.stopAfter) + " polls");
        RecordingObserver observer;
        observer.stopAfter = c.stopAfter;
        const MapStageOutcome outcome = RunMapStage(c.stage, data, start, observer);
        EXPECT_TRUE(outcome.stopped);
        EXPECT_EQ(observer.stopPolls, c.stopAfter + 1) << "no poll after the stop";
        EXPECT_EQ(outcome.fit, LayoutFitness(data, outcome.layout));
        EXPECT_GE(outcome.fit, LayoutFitness(data, start) - 1e-12);
        EXPECT_NE(outcome.records[0].detail.find("stopped"), std::string::npos) << outcome.records[0].detail;
        EXPECT_EQ(outcome.records.back().name, c.lastRecord);
        EXPECT_NE(outcome.records.back().detail.find(c.says), std::string::npos) << outcome.records.back().detail;
    }
}

TEST(RunMapStage, APolishTakesItsStartToTheTablesSize)
{
    const DistanceData data = PointDistances(ClusteredPoints(6, 2, 2, 3), 2, 0.1);
    RecordingObserver observer;
    // A start with too few positions: the new ones are 0, as for a search's seed.
    const Layout shortStart = {0.0f, 100.0f, 900.0f, 500.0f};
    Layout padded = shortStart;
    padded.resize(13, 0.0f);
    const MapStageOutcome outcome = RunMapStage(MapStage::Polish, data, shortStart, observer);
    EXPECT_EQ(outcome.layout, PolishLayout(data, padded).layout);
    EXPECT_EQ(outcome.layout.size(), 13u);

    EXPECT_THROW(RunMapStage(MapStage::Polish, DistanceData{}, {}, observer), TessarinError);
    EXPECT_THROW(RunMapStage(MapStage::BestMap, DistanceData{}, {}, observer), TessarinError);
}

} // namespace
} // namespace tessarin
