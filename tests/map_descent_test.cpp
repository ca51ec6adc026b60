#include "distance_fixture.h"
#include "scaling/duplicate_items.h"
#include "scaling/map_descent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace tessarin {
namespace {

using testing::MakeDistances;

/// A smooth, not quadratic function of 2-D coordinate-major coordinates:
/// each coordinate pulled to its own target with its own weight, plus a
/// coupling of the first two, so the L-BFGS memory matters. Its minimum is
/// not at the targets and no step lands on it exactly.
double Bowl(const double *x, double *gradient, std::size_t size)
{
    double value = 0.0;
    for (std::size_t k = 0; k < size; ++k) {
        const double weight = 1.0 + 0.37 * static_cast<double>(k);
        const double offset = x[k] - (3.0 * static_cast<double>(k) - 7.0);
        value = value + weight * offset * offset;
        gradient[k] = 2.0 * weight * offset;
    }
    const double coupling = x[0] * x[1] - 1.0;
    value = value + 0.1 * coupling * coupling;
    gradient[0] = gradient[0] + 0.2 * coupling * x[1];
    gradient[1] = gradient[1] + 0.2 * coupling * x[0];
    return value;
}

MapMeasure Measure(Improvement improvement, int tries, bool stepBySpread)
{
    MapMeasure measure;
    measure.improvement = improvement;
    measure.lineSearchTries = tries;
    measure.stepBySpread = stepBySpread;
    return measure;
}

struct DescentRun {
    DescentOutcome outcome;
    std::vector<double> coords;
    std::vector<double> values; // as the hook saw them
};

DescentRun Descend(const DescentObjective &objective, const MapMeasure &measure, const DuplicateItems &duplicates,
            std::vector<double> start, const PolishSettings &polish)
{
    DescentRun run;
    run.coords = std::move(start);
    run.outcome = DescendMap(objective, measure, 2, duplicates, run.coords, polish,
                             [&](int, const std::vector<double> &, double value) {
                                 run.values.push_back(value);
                                 return true;
                             });
    return run;
}

// One loop serves the fit (maximised) and the stress (minimised): ascending
// -f must take exactly the steps of descending f, and report the values
// with their own sign, each better than the one before.
TEST(MapDescent, AscendingTheNegativeTakesTheStepsOfDescending)
{
    const DistanceData data = MakeDistances(5, std::vector<float>(10, 1.0f));
    const DuplicateItems duplicates(data);
    const std::vector<double> start = {9, -4, 2, 0.5, 13, -8, 1, 1, 6, -2};
    const DescentObjective lower = [&](const double *x, double *g) { return Bowl(x, g, start.size()); };
    const DescentObjective higher = [&](const double *x, double *g) {
        const double value = Bowl(x, g, start.size());
        for (std::size_t k = 0; k < start.size(); ++k)
            g[k] = -g[k];
        return -value;
    };
    struct Row {
        const char *name;
        int tries;
        bool stepBySpread;
        int past;
        int maxIterations;
    };
    const Row rows[] = {
        {"fit's steps", 20, false, 10, 2000},
        {"model's steps", 8, true, 5, 2000},
        {"stopping gain over one iteration", 20, false, 1, 2000},
        {"capped at three iterations", 20, true, 10, 3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PolishSettings polish;
        polish.past = row.past;
        polish.maxIterations = row.maxIterations;
        const DescentRun down = Descend(lower, Measure(Improvement::Lower, row.tries, row.stepBySpread), duplicates, start, polish);
        const DescentRun up = Descend(higher, Measure(Improvement::Higher, row.tries, row.stepBySpread), duplicates, start, polish);

        ASSERT_GT(down.outcome.iterations, 0);
        EXPECT_LE(down.outcome.iterations, row.maxIterations);
        EXPECT_EQ(up.outcome.iterations, down.outcome.iterations);
        EXPECT_EQ(up.outcome.evaluations, down.outcome.evaluations);
        EXPECT_EQ(std::memcmp(up.coords.data(), down.coords.data(), start.size() * sizeof(double)), 0);
        EXPECT_EQ(up.outcome.value, -down.outcome.value);
        ASSERT_EQ(up.values.size(), down.values.size());
        for (std::size_t k = 0; k < down.values.size(); ++k) {
            EXPECT_EQ(up.values[k], -down.values[k]);
            if (k > 0) {
                EXPECT_LT(down.values[k], down.values[k - 1]);
            }
        }
        std::vector<double> gradient(start.size());
        EXPECT_LT(down.outcome.value, Bowl(start.data(), gradient.data(), start.size()));
        EXPECT_EQ(down.outcome.value, Bowl(down.coords.data(), gradient.data(), start.size()));
    }
}

// At a point with no gradient there is nothing to follow: one pass, no step,
// the coordinates as they were.
TEST(MapDescent, NoGradientNoStep)
{
    const DistanceData data = MakeDistances(2, {1.0f});
    const DuplicateItems duplicates(data);
    const DescentObjective flat = [](const double *x, double *g) {
        for (int k = 0; k < 4; ++k)
            g[k] = 0.0;
        return x[0];
    };
    for (Improvement improvement : {Improvement::Lower, Improvement::Higher}) {
        SCOPED_TRACE(improvement == Improvement::Lower ? "lower" : "higher");
        const std::vector<double> start = {1, 2, 3, 4};
        const DescentRun run = Descend(flat, Measure(improvement, 20, true), duplicates, start, PolishSettings{});
        EXPECT_EQ(run.outcome.iterations, 0);
        EXPECT_EQ(run.outcome.evaluations, 1);
        EXPECT_EQ(run.outcome.value, 1.0);
        EXPECT_EQ(run.coords, start);
        EXPECT_TRUE(run.values.empty());
    }
}

// Items 1 and 3 (0-based 0 and 2) are the same item given twice: the descent
// puts the second on the first's point and keeps it there, though the
// objective pulls them apart; the other items move freely.
TEST(MapDescent, TwinsStartAndStayOnOnePoint)
{
    const DistanceData data = MakeDistances(4, {2.0f, 0.0f, 5.0f, 2.0f, 3.0f, 5.0f});
    const DuplicateItems duplicates(data);
    ASSERT_TRUE(duplicates.any());
    ASSERT_EQ(duplicates.first(2), 0);
    const std::vector<double> start = {0, 1, 7, 3, 0, -2, 4, 1};
    const DescentObjective bowl = [&](const double *x, double *g) { return Bowl(x, g, start.size()); };
    bool apart = false;
    const DescentHook hook = [&](int, const std::vector<double> &now, double) {
        apart = apart || now[0] != now[2] || now[4] != now[6];
        return true;
    };
    std::vector<double> coords = start;
    const DescentOutcome outcome =
        DescendMap(bowl, Measure(Improvement::Lower, 8, true), 2, duplicates, coords, PolishSettings{}, hook);
    EXPECT_GT(outcome.iterations, 0);
    EXPECT_FALSE(apart);
    EXPECT_EQ(coords[2], coords[0]);
    EXPECT_EQ(coords[6], coords[4]);
    EXPECT_NE(coords[1], start[1]);
    EXPECT_NE(coords[3], start[3]);
}

// A hook that says stop ends the descent at that iteration, with the
// coordinates it was shown.
TEST(MapDescent, HookStops)
{
    const DistanceData data = MakeDistances(3, {1.0f, 1.0f, 1.0f});
    const DuplicateItems duplicates(data);
    const std::vector<double> start = {5, -5, 9, 1, 2, 3};
    const DescentObjective bowl = [&](const double *x, double *g) { return Bowl(x, g, start.size()); };
    std::vector<double> shown;
    std::vector<double> coords = start;
    const DescentOutcome outcome = DescendMap(bowl, Measure(Improvement::Lower, 20, false), 2, duplicates, coords,
                                              PolishSettings{}, [&](int iteration, const std::vector<double> &now, double) {
                                                  shown = now;
                                                  return iteration < 2;
                                              });
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.iterations, 2);
    EXPECT_EQ(coords, shown);
}

} // namespace
} // namespace tessarin
