#include "fit/layout_fitness.h"
#include "map_tables.h"
#include "fit/fit_gradient.h"
#include "forced_fit_options.h"
#include "gradient_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using namespace testing;

struct GradientCase {
    const char *name;
    int items;
    int dimensions;
    double smoothing;
    /// Items 1 and 2 (and 3 and 4) put on one point.
    bool coincident;
};

TEST(FitGradient, GradientMatchesCentralDifferences)
{
    const GradientCase cases[] = {
        {"2-D random map", 12, 2, 0.0, false},
        {"3-D random map", 11, 3, 0.0, false},
        {"2-D with coincident items", 10, 2, 0.0, true},
        {"3-D with coincident items", 9, 3, 0.0, true},
        {"2-D smoothed", 13, 2, 25.0, false},
        {"smoothed, coincident items", 8, 2, 4.0, true},
        {"past one vector of lanes", 40, 2, 0.0, false},
    };
    std::mt19937 engine(4242);
    for (const GradientCase &c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceData data = PointDistances(ClusteredPoints(c.items, 3, 3, 11), 3, 0.1);
        FitGradient fitGradient(data, c.dimensions, Forced(FitPath::Portable, 1));
        std::vector<double> coords = RandomCoords(c.items, c.dimensions, engine);
        if (c.coincident)
            for (int d = 0; d < c.dimensions; ++d) {
                coords[d * c.items + 1] = coords[d * c.items + 0];
                coords[d * c.items + 3] = coords[d * c.items + 2];
            }
        std::vector<double> gradient(coords.size());
        std::vector<double> scratch(coords.size());
        const double f = fitGradient.evaluate(coords.data(), c.smoothing, gradient.data());
        EXPECT_GT(f, -1.0);
        EXPECT_LT(f, 1.0);
        ASSERT_NO_FATAL_FAILURE(ExpectCentralDifferences(
            coords, gradient, [&](const double *x) { return fitGradient.evaluate(x, c.smoothing, scratch.data()); },
            1e-12));
    }
}

TEST(FitGradient, FitIsTheFitMeasureOfTheMap)
{
    std::mt19937 engine(5);
    for (int n : {2, 3, 17, 60}) {
        SCOPED_TRACE("N = " + std::to_string(n));
        const DistanceData data = PointDistances(ClusteredPoints(n, 2, 4, 3), 2, 0.2);
        std::vector<double> coords = RandomCoords(n, 2, engine, 1000.0);
        Layout layout(2 * static_cast<std::size_t>(n) + 1, 0.0f);
        for (std::size_t k = 0; k < coords.size(); ++k) {
            layout[k + 1] = static_cast<float>(coords[k]);
            coords[k] = layout[k + 1];
        }
        std::vector<double> gradient(coords.size());
        FitGradient fitGradient(data, 2);
        // The fit measure takes coordinate differences in single precision.
        EXPECT_NEAR(fitGradient.evaluate(coords.data(), 0.0, gradient.data()), LayoutFitness(data, layout), 1e-8);
    }
}

TEST(FitGradient, FlatMapsAndFlatTablesGiveZero)
{
    const int n = 6;
    struct Case {
        const char *name;
        DistanceData data;
        std::vector<double> coords;
    };
    std::mt19937 engine(8);
    std::vector<Case> cases;
    cases.push_back({"all distances 0", MakeDistances(n, std::vector<float>(n * (n - 1) / 2, 0.0f)),
                     RandomCoords(n, 2, engine)});
    cases.push_back({"all items on one point", PointDistances(ClusteredPoints(n, 2, 2, 1), 2),
                     std::vector<double>(2 * n, 321.5)});
    cases.push_back({"one item", MakeDistances(1, {}), {3.0, 4.0}});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FitGradient fitGradient(c.data, 2);
        std::vector<double> gradient(c.coords.size(), 7.0);
        EXPECT_EQ(fitGradient.evaluate(c.coords.data(), 0.0, gradient.data()), 0.0);
        for (double g : gradient)
            EXPECT_EQ(g, 0.0);
    }
}

bool SameBytes(const std::vector<double> &a, const std::vector<double> &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(FitGradient, EveryPathAndThreadCountGivesTheSameBits)
{
    std::mt19937 engine(77);
    for (int n : {2, 3, 8, 9, 16, 17, 23, 130, 301}) {
        const DistanceData data = PointDistances(ClusteredPoints(n, 3, 5, n), 3, 0.3);
        for (int dimensions : {2, 3}) {
            std::vector<double> coords = RandomCoords(n, dimensions, engine);
            if (n > 4) // coincident items take the m = 0 branch
                for (int d = 0; d < dimensions; ++d)
                    coords[d * n + 4] = coords[d * n + 1];
            for (double smoothing : {0.0, 2.5}) {
                std::vector<double> reference(coords.size());
                FitGradient portable(data, dimensions, Forced(FitPath::Portable, 1));
                const double referenceFit = portable.evaluate(coords.data(), smoothing, reference.data());
                for (FitPath path : {FitPath::Portable, FitPath::Avx2, FitPath::Avx512}) {
                    if (!FitPathSupported(path))
                        continue;
                    for (int threads : {1, 2}) {
                        SCOPED_TRACE("N = " + std::to_string(n) + ", " + std::to_string(dimensions) + "-D, " +
                                     FitPathName(path) + ", threads " + std::to_string(threads) +
                                     ", smoothing " + std::to_string(smoothing));
                        FitGradient fitGradient(data, dimensions, Forced(path, threads));
                        std::vector<double> gradient(coords.size());
                        // Twice: the second pass must not see the first's sums.
                        fitGradient.evaluate(coords.data(), smoothing, gradient.data());
                        const double fit = fitGradient.evaluate(coords.data(), smoothing, gradient.data());
                        EXPECT_EQ(std::memcmp(&fit, &referenceFit, sizeof fit), 0);
                        EXPECT_TRUE(SameBytes(gradient, reference));
                    }
                }
            }
        }
    }
}

TEST(FitGradient, PackedAndUnpackedTablesAgree)
{
    DistanceData packed = PointDistances(ClusteredPoints(20, 2, 3, 9), 2, 0.1);
    DistanceData unpacked = packed;
    unpacked.PairDistances.clear();
    std::mt19937 engine(3);
    const std::vector<double> coords = RandomCoords(20, 2, engine);
    std::vector<double> a(coords.size()), b(coords.size());
    FitGradient first(packed, 2), second(unpacked, 2);
    EXPECT_EQ(first.evaluate(coords.data(), 0.0, a.data()), second.evaluate(coords.data(), 0.0, b.data()));
    EXPECT_TRUE(SameBytes(a, b));
}

} // namespace
} // namespace tessarin
