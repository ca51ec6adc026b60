#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "map_tables.h"
#include "recording_observer.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_polish.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using namespace testing;

Layout MakeLayout(const std::vector<float> &xs, const std::vector<float> &ys)
{
    Layout layout{0.0f};
    layout.insert(layout.end(), xs.begin(), xs.end());
    layout.insert(layout.end(), ys.begin(), ys.end());
    return layout;
}

TEST(MapPolish, TriangleReachesFitOneFromAnyFairStart)
{
    const DistanceData data = MakeDistances(3, {3.0f, 4.0f, 5.0f});
    struct Start {
        const char *name;
        Layout layout;
    };
    const Start starts[] = {
        {"equilateral", MakeLayout({100, 200, 150}, {100, 100, 186.6f})},
        {"mirror image", MakeLayout({0, 3, 0}, {0, 0, -4})},
        {"long thin", MakeLayout({0, 1000, 500}, {500, 500, 501})},
        {"tiny", MakeLayout({500, 500.001f, 500}, {500, 500, 500.002f})},
        {"wrong order", MakeLayout({0, 5, 14}, {0, 12, 0})},
    };
    for (const Start &s : starts) {
        SCOPED_TRACE(s.name);
        const PolishResult result = PolishLayout(data, s.layout);
        EXPECT_GT(result.fit, 1.0 - 1e-9);
        EXPECT_DOUBLE_EQ(result.fit, LayoutFitness(data, result.layout));
    }
}

TEST(MapPolish, NeverLowersTheFitAndReportsTheStoredMapsFit)
{
    const DistanceData data = PointDistances(ClusteredPoints(40, 3, 4, 9), 3, 0.15);
    struct Start {
        const char *name;
        Layout layout;
        PolishSettings settings;
    };
    PolishSettings oneStep;
    oneStep.maxIterations = 1;
    PolishSettings none;
    none.maxIterations = 0;
    const Layout classical = ClassicalLayout(data);
    const Layout polished = PolishLayout(data, classical).layout;
    const Start starts[] = {
        {"random", RandomLayout(40, 1), {}},
        {"random, one iteration", RandomLayout(40, 2), oneStep},
        {"classical", classical, {}},
        {"already polished", polished, {}},
        {"no iterations", RandomLayout(40, 3), none},
    };
    for (const Start &s : starts) {
        SCOPED_TRACE(s.name);
        const double before = LayoutFitness(data, s.layout);
        const PolishResult result = PolishLayout(data, s.layout, nullptr, s.settings);
        EXPECT_GE(result.fit, before);
        EXPECT_EQ(result.fit, LayoutFitness(data, result.layout));
        EXPECT_LE(result.iterations, s.settings.maxIterations);
    }
}

TEST(MapPolish, SameStartSameBits)
{
    const DistanceData data = PointDistances(ClusteredPoints(150, 4, 3, 4), 4, 0.05);
    const Layout start = RandomLayout(150, 6);
    const PolishResult first = PolishLayout(data, start);
    const PolishResult second = PolishLayout(data, start);
    ASSERT_EQ(first.layout.size(), second.layout.size());
    EXPECT_EQ(std::memcmp(first.layout.data(), second.layout.data(), first.layout.size() * sizeof(float)), 0);
    EXPECT_EQ(first.iterations, second.iterations);
}

TEST(MapPolish, IdenticalItemsStayOnOnePoint)
{
    std::vector<double> points = ClusteredPoints(30, 3, 3, 17);
    // Items 4 and 20 repeat item 1; item 9 repeats item 7.
    for (int d = 0; d < 3; ++d) {
        points[3 * 3 + d] = points[d];
        points[19 * 3 + d] = points[d];
        points[8 * 3 + d] = points[6 * 3 + d];
    }
    const DistanceData data = PointDistances(points, 3, 0.0);
    const PolishResult result = PolishLayout(data, RandomLayout(30, 12));
    const int n = 30;
    for (auto [a, b] : {std::pair{1, 4}, std::pair{1, 20}, std::pair{7, 9}}) {
        SCOPED_TRACE("items " + std::to_string(a) + " and " + std::to_string(b));
        EXPECT_EQ(result.layout[a], result.layout[b]);
        EXPECT_EQ(result.layout[n + a], result.layout[n + b]);
    }
    EXPECT_GT(result.fit, 0.95);
}

TEST(MapPolish, SmallAndFlatCases)
{
    struct Case {
        const char *name;
        DistanceData data;
        Layout start;
        double lowestFit;
        double highestFit;
    };
    // The table's statistics are single precision: a perfect map may score
    // a little above 1.
    const double top = 1.0 + 1e-7;
    const Case cases[] = {
        {"N = 1", MakeDistances(1, {}), MakeLayout({3}, {4}), 0.0, 0.0},
        {"N = 2", MakeDistances(2, {5.0f}), MakeLayout({1, 2}, {1, 1}), 1.0 - 1e-12, top},
        {"N = 3 on one line", MakeDistances(3, {1.0f, 2.0f, 1.0f}), MakeLayout({0, 10, 15}, {0, 2, -1}),
         1.0 - 1e-9, top},
        {"all distances 0", MakeDistances(4, std::vector<float>(6, 0.0f)), MakeLayout({1, 2, 3, 4}, {4, 1, 3, 2}),
         0.0, 0.0},
        {"all items on one point: starts from the classical map",
         PointDistances(ClusteredPoints(12, 2, 3, 2), 2), MakeLayout(std::vector<float>(12, 0), std::vector<float>(12, 0)),
         0.999, top},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const PolishResult result = PolishLayout(c.data, c.start);
        EXPECT_GE(result.fit, c.lowestFit);
        EXPECT_LE(result.fit, c.highestFit) << std::setprecision(17) << result.fit;
        EXPECT_EQ(result.layout.size(), c.start.size());
    }
    EXPECT_THROW(PolishLayout(DistanceData{}, Layout(1)), TessarinError);
    EXPECT_THROW(PolishLayout(MakeDistances(3, {1, 2, 3}), Layout(5)), TessarinError);
}

TEST(MapPolish, ObserverSeesEachIterationAndCanStop)
{
    const DistanceData data = PointDistances(ClusteredPoints(50, 3, 3, 5), 3, 0.1);
    const Layout start = RandomLayout(50, 8);
    RecordingObserver watcher;
    watcher.mapEvery = 3;
    const PolishResult full = PolishLayout(data, start, &watcher);
    ASSERT_EQ(watcher.progressCalls.size(), static_cast<std::size_t>(full.iterations));
    for (std::size_t k = 0; k < watcher.progressCalls.size(); ++k) {
        EXPECT_EQ(watcher.progressCalls[k].first, "polish");
        EXPECT_EQ(watcher.progressCalls[k].second, static_cast<int>(k) + 1);
    }
    ASSERT_FALSE(watcher.maps.empty());
    for (std::size_t k = 0; k < watcher.maps.size(); ++k)
        EXPECT_EQ(watcher.fits[k], LayoutFitness(data, watcher.maps[k]));
    EXPECT_FALSE(full.stopped);

    RecordingObserver stopper;
    stopper.stopAfter = 2;
    const PolishResult stopped = PolishLayout(data, start, &stopper);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.iterations, 3);
    EXPECT_GE(stopped.fit, LayoutFitness(data, start));
    EXPECT_LT(stopped.fit, full.fit);

    // Watching changes nothing.
    const PolishResult unwatched = PolishLayout(data, start);
    EXPECT_EQ(std::memcmp(unwatched.layout.data(), full.layout.data(), full.layout.size() * sizeof(float)), 0);
}

} // namespace
} // namespace tessarin
