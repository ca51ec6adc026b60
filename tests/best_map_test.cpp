#include "io/distance_reader.h"
#include "fit/layout_fitness.h"
#include "map_tables.h"
#include "recording_observer.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_polish.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ClusteredPoints;
using testing::MakeDistances;
using testing::PointDistances;
using testing::RecordingObserver;

TEST(BestMap, RunsEveryRouteAndKeepsTheBest)
{
    const DistanceData data = PointDistances(ClusteredPoints(60, 5, 4, 3), 5, 0.1);
    RecordingObserver watcher;
    const BestMapResult result = FindBestMap(data, &watcher);
    std::vector<std::string> stages;
    for (const auto &[stage, iteration] : watcher.progressCalls)
        if (stages.empty() || stages.back() != stage)
            stages.push_back(stage);
    EXPECT_EQ(stages, (std::vector<std::string>{"classical", "route a", "classical", "route b", "route c", "route d",
                                                "route e"}));
    ASSERT_EQ(result.routes.size(), 5u);
    const char *names[] = {"a", "b", "c", "d", "e"};
    double best = -2.0;
    for (std::size_t k = 0; k < result.routes.size(); ++k) {
        EXPECT_EQ(result.routes[k].name, names[k]);
        EXPECT_FALSE(result.routes[k].description.empty());
        EXPECT_GT(result.routes[k].iterations, 0);
        best = std::max(best, result.routes[k].score);
    }
    EXPECT_EQ(result.fit, LayoutFitness(data, result.layout));
    EXPECT_NEAR(result.fit, best, 1e-9);
    EXPECT_GE(result.fit, LayoutFitness(data, ClassicalLayout(data)));
    EXPECT_GE(result.fit, PolishLayout(data, ClassicalLayout(data)).fit - 1e-9);
    EXPECT_FALSE(result.stopped);
    bool winnerListed = false;
    for (const RouteOutcome &route : result.routes)
        winnerListed = winnerListed || route.name == result.winner;
    EXPECT_TRUE(winnerListed);
}

TEST(BestMap, TwoRunsGiveTheSameBits)
{
    const DistanceData data = PointDistances(ClusteredPoints(90, 3, 5, 8), 3, 0.2);
    const BestMapResult first = FindBestMap(data);
    const BestMapResult second = FindBestMap(data);
    ASSERT_EQ(first.layout.size(), second.layout.size());
    EXPECT_EQ(std::memcmp(first.layout.data(), second.layout.data(), first.layout.size() * sizeof(float)), 0);
    EXPECT_EQ(first.winner, second.winner);
    for (std::size_t k = 0; k < first.routes.size(); ++k)
        EXPECT_EQ(first.routes[k].iterations, second.routes[k].iterations);
}

TEST(BestMap, IdenticalItemsStayOnOnePoint)
{
    std::vector<double> points = ClusteredPoints(25, 3, 3, 1);
    for (int d = 0; d < 3; ++d)
        points[24 * 3 + d] = points[2 * 3 + d];
    const DistanceData data = PointDistances(points, 3);
    const BestMapResult result = FindBestMap(data);
    EXPECT_EQ(result.layout[3], result.layout[25]);
    EXPECT_EQ(result.layout[25 + 3], result.layout[25 + 25]);
}

TEST(BestMap, SmallAndFlatTables)
{
    struct Case {
        const char *name;
        DistanceData data;
        double fit;
    };
    const Case cases[] = {
        {"N = 1", MakeDistances(1, {}), 0.0},
        {"N = 2", MakeDistances(2, {2.0f}), 1.0},
        {"3-4-5 triangle", MakeDistances(3, {3.0f, 4.0f, 5.0f}), 1.0},
        {"all distances 0", MakeDistances(6, std::vector<float>(15, 0.0f)), 0.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const BestMapResult result = FindBestMap(c.data);
        EXPECT_NEAR(result.fit, c.fit, 1e-9);
        EXPECT_EQ(result.layout.size(), 2 * static_cast<std::size_t>(c.data.ItemCount) + 1);
    }
}

TEST(BestMap, StopKeepsTheBestSoFar)
{
    const DistanceData data = PointDistances(ClusteredPoints(70, 3, 4, 2), 3, 0.1);
    for (int polls : {0, 5, 60}) {
        SCOPED_TRACE(std::to_string(polls) + " polls before the stop");
        RecordingObserver stopper;
        stopper.stopAfter = polls;
        stopper.mapEvery = 4;
        const BestMapResult result = FindBestMap(data, &stopper);
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.fit, LayoutFitness(data, result.layout));
        // The classical start is in hand before the first iteration.
        EXPECT_GE(result.fit, LayoutFitness(data, ClassicalLayout(data)));
        ASSERT_FALSE(stopper.progressCalls.empty());
        for (std::size_t k = 0; k < stopper.fits.size(); ++k)
            EXPECT_EQ(stopper.fits[k], LayoutFitness(data, stopper.maps[k]));
    }
}

TEST(BestMap, WorldCitiesExample)
{
    const std::string file = std::string(TESSARIN_EXAMPLES_DIR) + "/distance.txt";
    const DistanceData data = ReadDistances(file);
    const BestMapResult result = FindBestMap(data);
    EXPECT_GE(result.fit, PolishLayout(data, ClassicalLayout(data)).fit - 1e-9);
    EXPECT_GT(result.fit, 0.9);
}

} // namespace
} // namespace tessarin
