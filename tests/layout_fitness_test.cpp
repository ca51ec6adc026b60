#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "distance_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace tessarin {
namespace {

using testing::MakeDistances;

/// The fit computed literally: a matrix of map distances first, the sums in a
/// second pass.
double TwoPassFitness(const DistanceData &data, const Layout &layout)
{
    const int n = data.ItemCount;
    if (n == 1)
        return 0.0;
    std::vector<double> map(static_cast<std::size_t>(n + 1) * (n + 1), 0.0);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const float dx = layout[i] - layout[j];
            const float dy = layout[n + i] - layout[n + j];
            double &cell = map[static_cast<std::size_t>(i) * (n + 1) + j];
            cell = double(dx) * dx;
            cell = cell + double(dy) * dy;
            cell = std::sqrt(cell);
        }
    double sd = 0, sdd = 0, sdg = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double m = map[static_cast<std::size_t>(i) * (n + 1) + j];
            const double g = data.distance(i, j);
            sd = sd + m;
            sdd = sdd + m * m;
            sdg = sdg + g * m;
        }
    const double vd = sdd - ((sd * sd) / n) / (n - 1);
    const double c = sdg - ((double(data.DistanceSum) * sd) / n) / (n - 1);
    if (data.DistanceSpread < 1e-11f || vd < 1e-11)
        return 0.0;
    return c / std::sqrt(double(data.DistanceSpread) * vd);
}

struct FitCase {
    const char *name;
    Layout layout; // positions 0..2N
    double expected;
    double tolerance;
};

TEST(LayoutFitness, ScoresKnownLayouts)
{
    const DistanceData triangle = MakeDistances(3, {3, 4, 5});
    ASSERT_EQ(triangle.DistanceSpread, 26.0f);
    const FitCase cases[] = {
        {"3-4-5 map", {0, 0, 3, 0, 0, 0, 4}, 1.0, 1e-12},
        {"3-4-5 map scaled by 10", {0, 0, 30, 0, 0, 0, 40}, 1.0, 1e-12},
        {"13-14-15 map", {0, 0, 5, 14, 0, 12, 0}, 86.0 / std::sqrt(26.0 * 296.0), 1e-15},
        {"all items on one point", {0, 7, 7, 7, 3, 3, 3}, 0.0, 0.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(LayoutFitness(triangle, c.layout), c.expected, c.tolerance);
    }
    EXPECT_NEAR(LayoutFitness(triangle, Layout{0, 0, 5, 14, 0, 12, 0}), 0.98031562, 5e-9);
}

TEST(LayoutFitness, DegenerateCases)
{
    const DistanceData two = MakeDistances(2, {5});
    EXPECT_NEAR(LayoutFitness(two, Layout{0, 1, 900, 2, 3}), 1.0, 1e-12);
    EXPECT_EQ(LayoutFitness(two, Layout{0, 4, 4, 9, 9}), 0.0);

    const DistanceData flat = MakeDistances(3, {0, 0, 0});
    EXPECT_EQ(LayoutFitness(flat, Layout{0, 0, 3, 0, 0, 0, 4}), 0.0);

    const DistanceData one = MakeDistances(1, {});
    EXPECT_EQ(LayoutFitness(one, Layout{0, 5, 6}), 0.0);

    EXPECT_THROW(LayoutFitness(DistanceData{}, Layout{0}), TessarinError);
}

TEST(LayoutFitness, AgreesBitForBitWithTheTwoPassForm)
{
    std::mt19937 engine(12345);
    std::uniform_real_distribution<float> coordinate(0.0f, 1000.0f);
    for (int n : {2, 3, 7, 20, 101}) {
        std::vector<float> upper;
        for (int k = 0; k < n * (n - 1) / 2; ++k)
            upper.push_back(coordinate(engine));
        const DistanceData data = MakeDistances(n, upper);
        for (int trial = 0; trial < 20; ++trial) {
            Layout layout(2 * n + 1, 0.0f);
            for (int s = 1; s <= 2 * n; ++s)
                layout[s] = trial % 4 == 0 ? 1000.0f - coordinate(engine) * 1e-6f : coordinate(engine);
            const double fused = LayoutFitness(data, layout);
            const double literal = TwoPassFitness(data, layout);
            EXPECT_EQ(std::memcmp(&fused, &literal, sizeof fused), 0) << "n=" << n << " trial " << trial;
        }
    }
}

} // namespace
} // namespace tessarin
