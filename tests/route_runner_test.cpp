#include "distance_fixture.h"
#include "recording_observer.h"
#include "scaling/route_runner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RecordingObserver;

/// A measure whose scores are given in advance, one per map scored.
struct ScriptedMeasure {
    std::deque<double> scores;
    MapMeasure measure;

    ScriptedMeasure(Improvement improvement, double worst)
    {
        measure.improvement = improvement;
        measure.worst = worst;
        measure.score = [this](const Layout &) {
            const double next = scores.front();
            scores.pop_front();
            return next;
        };
    }
};

/// Pulls each coordinate towards 1, each with its own strength, and the
/// first two towards a product of 1: a polish takes several steps on it.
double Pull(const double *x, double *gradient)
{
    double value = 0.0;
    for (int k = 0; k < 6; ++k) {
        const double strength = 1.0 + k;
        value = value + strength * (x[k] - 1.0) * (x[k] - 1.0);
        gradient[k] = 2.0 * strength * (x[k] - 1.0);
    }
    const double product = x[0] * x[1] - 1.0;
    value = value + product * product;
    gradient[0] = gradient[0] + 2.0 * product * x[1];
    gradient[1] = gradient[1] + 2.0 * product * x[0];
    return value;
}

const std::vector<double> SomeMap = {0, 4, 9, 2, 7, 3};

// A later route wins only when better than the best so far by more than a
// relative 1e-9, whichever way the measure improves; each route reports the
// best of its own maps, or the measure's worst when it offered none.
TEST(RouteRunner, LaterRouteWinsOnlyByMoreThanARelativeMargin)
{
    const DistanceData data = MakeDistances(3, {1.0f, 2.0f, 2.5f});
    struct Row {
        const char *name;
        Improvement improvement;
        double worst;
        // Scores the maps of routes a, b, c and d get; route e offers none.
        std::vector<std::vector<double>> offered;
        const char *winner;
        double best;
        std::vector<double> routeScores;
    };
    const double h = 0.5e-9, t = 2e-9;
    const Row rows[] = {
        {"higher: within the margin", Improvement::Higher, -2.0, {{0.5}, {0.5 * (1 + h)}, {0.4}, {0.5}}, "a", 0.5,
         {0.5, 0.5 * (1 + h), 0.4, 0.5, -2.0}},
        {"higher: beyond the margin", Improvement::Higher, -2.0, {{0.5}, {0.4, 0.5 * (1 + t)}, {0.5 * (1 + t + h)}, {}},
         "b", 0.5 * (1 + t), {0.5, 0.5 * (1 + t), 0.5 * (1 + t + h), -2.0, -2.0}},
        {"lower: within the margin", Improvement::Lower, HUGE_VAL, {{0.5}, {0.5 * (1 - h)}, {0.6}, {0.5}}, "a", 0.5,
         {0.5, 0.5 * (1 - h), 0.6, 0.5, HUGE_VAL}},
        {"lower: beyond the margin", Improvement::Lower, HUGE_VAL, {{0.7, 0.6}, {0.5}, {0.5 * (1 - t)}, {0.2, 0.3}}, "d",
         0.2, {0.6, 0.5, 0.5 * (1 - t), 0.2, HUGE_VAL}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedMeasure scripted(row.improvement, row.worst);
        RouteRunner runner(data, scripted.measure, nullptr, PolishSettings{});
        const char *names[] = {"a", "b", "c", "d", "e"};
        for (std::size_t r = 0; r < 5; ++r) {
            runner.route(names[r], std::string("route ") + names[r], [&] {
                if (r < row.offered.size())
                    for (double score : row.offered[r]) {
                        scripted.scores.push_back(score);
                        EXPECT_EQ(runner.offer(SomeMap), score);
                    }
                return true;
            });
        }
        EXPECT_EQ(runner.winner(), row.winner);
        EXPECT_EQ(runner.bestScore(), row.best);
        EXPECT_FALSE(runner.stopped());
        ASSERT_EQ(runner.routes().size(), 5u);
        for (std::size_t r = 0; r < 5; ++r) {
            EXPECT_EQ(runner.routes()[r].name, names[r]);
            EXPECT_EQ(runner.routes()[r].description, std::string("route ") + names[r]);
            EXPECT_EQ(runner.routes()[r].score, row.routeScores[r]);
        }
    }
}

// A stop ends the routes: the stopped route is recorded as stopped, the
// ones after it do not run. A scored polish that is stopped offers its map
// first; an unscored one (3-D, or under another measure) does not.
TEST(RouteRunner, StopEndsTheRoutesAndOffersOnlyScoredMaps)
{
    const DistanceData data = MakeDistances(3, {1.0f, 2.0f, 2.5f});
    for (bool scored : {false, true}) {
        SCOPED_TRACE(scored ? "scored" : "not scored");
        ScriptedMeasure scripted(Improvement::Lower, HUGE_VAL);
        RecordingObserver observer;
        observer.stopAfter = 2;
        RouteRunner runner(data, scripted.measure, &observer, PolishSettings{});
        bool laterRan = false;
        runner.route("a", "pulled", [&] {
            std::vector<double> coords = SomeMap;
            scripted.scores.push_back(0.25);
            return runner.polish(coords, 2, Pull, scored, 100);
        });
        runner.route("b", "never", [&] {
            laterRan = true;
            return true;
        });
        EXPECT_TRUE(runner.stopped());
        EXPECT_FALSE(laterRan);
        ASSERT_EQ(runner.routes().size(), 1u);
        EXPECT_EQ(runner.routes()[0].description, "pulled (stopped)");
        EXPECT_EQ(runner.routes()[0].iterations, 3);
        EXPECT_EQ(runner.valid(), scored);
        EXPECT_EQ(runner.routes()[0].score, scored ? 0.25 : HUGE_VAL);
        EXPECT_EQ(scripted.scores.empty(), scored);
    }
}

// The iterations of a route's polishes add up, and the observer hears them
// under the route's stage as one count.
TEST(RouteRunner, PolishesOfARouteCountTogether)
{
    const DistanceData data = MakeDistances(3, {1.0f, 2.0f, 2.5f});
    ScriptedMeasure scripted(Improvement::Lower, HUGE_VAL);
    RecordingObserver observer;
    RouteRunner runner(data, scripted.measure, &observer, PolishSettings{});
    int first = 0;
    runner.route("c", "twice", [&] {
        std::vector<double> coords = SomeMap;
        EXPECT_TRUE(runner.polish(coords, 2, Pull, false, 2));
        first = static_cast<int>(observer.progressCalls.size());
        coords = SomeMap;
        scripted.scores.push_back(0.125);
        return runner.polishAndOffer(coords, Pull, 3);
    });
    EXPECT_EQ(first, 2);
    ASSERT_EQ(runner.routes().size(), 1u);
    EXPECT_EQ(runner.routes()[0].iterations, 5);
    EXPECT_EQ(runner.routes()[0].score, 0.125);
    ASSERT_EQ(observer.progressCalls.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(observer.progressCalls[static_cast<std::size_t>(k)].first, "route c");
        EXPECT_EQ(observer.progressCalls[static_cast<std::size_t>(k)].second, k + 1);
    }
}

} // namespace
} // namespace tessarin
