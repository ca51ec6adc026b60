#include "data/distance_statistics.h"
#include "fit/layout_fitness.h"
#include "distance_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::MakeDistances;

/// One large distance, then ones: the ones vanish in a single-precision
/// running sum that has passed first / 2^24 ... (so the errors are known).
std::vector<float> OneLargeThenOnes(int n, float first)
{
    std::vector<float> upper(static_cast<std::size_t>(n) * (n - 1) / 2, 1.0f);
    upper[0] = first;
    return upper;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(DistanceStatistics, KeepsTheSingleSumsWithinTheThresholdAndMendsBeyondIt)
{
    struct Case {
        const char *name;
        int items;
        float first;
        bool mended;
    };
    // 1e8 swallows every later 1 (its spacing is 8); 1e4 keeps the sum exact
    // but its square 1e8 swallows the squares.
    const Case cases[] = {
        {"exact sums", 200, 1e6f, false},
        {"sum off by 5e-5: kept", 101, 1e8f, false},
        {"sum off by 2e-4: mended", 200, 1e8f, true},
        {"sum of squares off by 2e-4: mended", 200, 1e4f, true},
        {"sum of squares off by 5e-5: kept", 101, 1e4f, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> upper = OneLargeThenOnes(c.items, c.first);
        // MakeDistances takes the sums the specified way, in single precision.
        DistanceData specified = MakeDistances(c.items, upper);
        DistanceData data = specified;
        ComputeDistanceStatistics(data, "large.txt");
        EXPECT_EQ(data.StatisticsFromDoubleSums, c.mended);

        const double ones = static_cast<double>(upper.size() - 1);
        const double sum = c.first + ones;
        const double squares = static_cast<double>(c.first) * c.first + ones;
        EXPECT_NEAR(data.SumRelativeError, std::fabs(specified.DistanceSum - sum) / sum, 1e-12);
        EXPECT_GT(std::max(data.SumRelativeError, data.SquareSumRelativeError), c.mended ? 1e-4 : -1.0);
        if (c.mended) {
            const float t = static_cast<float>(double(float(sum)) * double(float(sum)) / c.items / (c.items - 1));
            EXPECT_TRUE(SameBits(data.DistanceSum, static_cast<float>(sum)));
            EXPECT_TRUE(SameBits(data.DistanceSpread, static_cast<float>(squares) - t));
        } else {
            EXPECT_LE(std::max(data.SumRelativeError, data.SquareSumRelativeError), 1e-4);
            EXPECT_TRUE(SameBits(data.DistanceSum, specified.DistanceSum));
            EXPECT_TRUE(SameBits(data.DistanceSpread, specified.DistanceSpread));
        }
    }
}

TEST(DistanceStatistics, ALargeTablesFitStaysWithinOne)
{
    // 3000 random points: the single-precision sum of squares is off by about
    // 2e-3, enough to score the points' own map above 1.
    const int n = 3000;
    std::mt19937 engine(3000);
    std::uniform_real_distribution<float> uniform(0.0f, 1000.0f);
    std::vector<float> layout(2 * n + 1, 0.0f);
    for (int k = 1; k <= 2 * n; ++k)
        layout[k] = uniform(engine);
    std::vector<float> upper;
    upper.reserve(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double dx = layout[i] - layout[j];
            const double dy = layout[n + i] - layout[n + j];
            upper.push_back(static_cast<float>(std::sqrt(dx * dx + dy * dy)));
        }
    DistanceData specified = MakeDistances(n, upper);
    ASSERT_GT(LayoutFitness(specified, layout), 1.0) << "the specified sums should fail here";
    DistanceData data = specified;
    ComputeDistanceStatistics(data, "points.txt");
    EXPECT_TRUE(data.StatisticsFromDoubleSums);
    const double fit = LayoutFitness(data, layout);
    EXPECT_LE(fit, 1.0 + 1e-6);
    EXPECT_GT(fit, 0.9999);
}

} // namespace
} // namespace tessarin
