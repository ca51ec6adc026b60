// The fit measure with pair weights: its value against a plain computation,
// its gradient against central differences, one result on every path, pairs
// of weight 0 left out bit for bit, the classical start's filled table, and
// maps of tables with holes close to the full table's; the fast loops give
// the plain loops' bits.
#include "data/pair_weights.h"
#include "fit/fit_gradient.h"
#include "fit/fit_kernel.h"
#include "fit/layout_fitness.h"
#include "fit/weighted_fit.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/filled_distances.h"
#include "forced_fit_options.h"
#include "gradient_check.h"
#include "map_tables.h"
#include "reference_weighted_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using namespace testing;

std::size_t pairCount(int n) { return static_cast<std::size_t>(n) * (n - 1) / 2; }

/// Weights for `n` items: a share `zeros` of the pairs 0 (never all of an
/// item's), the others 1 or, with `fractions`, drawn from 0.2..3.
std::vector<float> RandomWeights(int n, double zeros, bool fractions, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<float> weights;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            // The pairs (i, i + 1) keep every item joined.
            const bool kept = j == i + 1 || unit(engine) >= zeros;
            weights.push_back(!kept ? 0.0f : fractions ? static_cast<float>(0.2 + 2.8 * unit(engine)) : 1.0f);
        }
    return weights;
}

DistanceData Weighted(DistanceData data, std::vector<float> weights)
{
    SetPairWeights(data, std::move(weights), "test");
    return data;
}

/// The weighted fit written out plainly from its definition.
double PlainWeightedFit(const DistanceData &data, const Layout &layout)
{
    const int n = data.ItemCount;
    double w = 0, g = 0, m = 0, gg = 0, mm = 0, gm = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double wij = data.pairWeight(i, j);
            const double dx = static_cast<float>(layout[i] - layout[j]);
            const double dy = static_cast<float>(layout[n + i] - layout[n + j]);
            const double mij = std::sqrt(dx * dx + dy * dy);
            const double gij = data.distance(i, j);
            w += wij;
            g += wij * gij;
            m += wij * mij;
            gg += wij * gij * gij;
            mm += wij * mij * mij;
            gm += wij * gij * mij;
        }
    const double k = 2 * w;
    return (gm - g * m / k) / std::sqrt((gg - g * g / k) * (mm - m * m / k));
}

TEST(WeightedFit, IsTheWeightedMeasureOnEveryPathAndThreadCount)
{
    struct Case {
        const char *name;
        int items;
        double zeros;
        bool fractions;
    };
    const Case cases[] = {
        {"a fifth missing", 23, 0.2, false},
        {"fractional weights", 17, 0.0, true},
        {"half missing, fractional", 40, 0.5, true},
    };
    std::mt19937 engine(31);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceData data =
            Weighted(PointDistances(ClusteredPoints(c.items, 2, 3, 5), 2, 0.1), RandomWeights(c.items, c.zeros, c.fractions, 9));
        ASSERT_TRUE(data.weighted());
        const Layout layout = RandomLayout(c.items, engine);
        const double fit = LayoutFitness(data, layout);
        EXPECT_NEAR(fit, PlainWeightedFit(data, layout), 1e-12);
        for (FitPath path : {FitPath::OneByOne, FitPath::Portable, FitPath::Avx2, FitPath::Avx512})
            for (int threads : {1, 2}) {
                FitBatch batch(data, Forced(path, threads));
                const float *layouts[] = {layout.data(), layout.data()};
                double fits[2];
                batch.score(layouts, 2, fits);
                EXPECT_EQ(std::memcmp(&fits[1], &fit, sizeof fit), 0) << static_cast<int>(path) << " " << threads;
            }
    }
}

template <typename T>
bool SameBits(const T &a, const T &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(WeightedFit, FastLoopsGiveThePlainLoopsBitsEverywhere)
{
    // The sizes straddle the chunks in which a row's terms are formed (128
    // pairs for the gradient, 256 for the fit); the cells of the pairs left
    // out hold what a table may hold there, which must never enter.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char *name;
        int items;
        double zeros;
        bool fractions;
        float leftOutCell;
        int dimensions;
        double smoothing;
        bool coincident;
    };
    const Case cases[] = {
        {"two items", 2, 0.0, true, 0.0f, 2, 0.0, false},
        {"a tenth missing, NaN held", 31, 0.1, true, nan, 2, 0.0, false},
        {"half missing, -0 held, 3-D", 40, 0.5, true, -0.0f, 3, 0.0, false},
        {"rows across a gradient chunk", 131, 0.1, true, 1e30f, 2, 0.0, true},
        {"rows across a fit chunk, smoothed", 262, 0.2, false, nan, 3, 9.0, false},
        {"fractional weights, none missing", 140, 0.0, true, 0.0f, 2, 1.0, true},
    };
    std::mt19937 engine(57);
    std::uniform_real_distribution<double> uniform(0.0, 1000.0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> weights = RandomWeights(c.items, c.zeros, c.fractions, 21);
        DistanceData data = Weighted(PointDistances(ClusteredPoints(c.items, 2, 3, 4), 2, 0.1), weights);
        ASSERT_TRUE(data.weighted());
        const std::size_t side = static_cast<std::size_t>(c.items) + 1;
        std::size_t p = 0;
        for (int i = 1; i <= c.items; ++i)
            for (int j = i + 1; j <= c.items; ++j, ++p)
                if (weights[p] == 0.0f)
                    data.Distances[i * side + j] = data.Distances[j * side + i] = c.leftOutCell;
        data.packPairs();

        Layout layout = RandomLayout(c.items, engine);
        if (c.coincident) {
            layout[2] = layout[1];
            layout[c.items + 2] = layout[c.items + 1];
        }
        const double fit = testing::ReferenceWeightedLayoutFitness(data, layout.data());
        ASSERT_TRUE(std::isfinite(fit));
        EXPECT_TRUE(SameBits(LayoutFitness(data, layout.data()), fit));

        std::vector<double> coords(static_cast<std::size_t>(c.items) * c.dimensions);
        for (double &x : coords)
            x = uniform(engine);
        if (c.coincident)
            for (int d = 0; d < c.dimensions; ++d)
                coords[d * c.items + 1] = coords[d * c.items + 0];
        std::vector<double> expected(coords.size()), gradient(coords.size());
        const double value =
            testing::ReferenceWeightedFitAndGradient(data, c.dimensions, coords.data(), c.smoothing, expected.data());
        ASSERT_NE(value, 0.0);

        for (FitPath path : {FitPath::OneByOne, FitPath::Portable, FitPath::Avx2, FitPath::Avx512}) {
            if (path != FitPath::OneByOne && !FitPathSupported(path))
                continue;
            for (int threads : {1, 2}) {
                SCOPED_TRACE(std::string(FitPathName(path)) + ", " + std::to_string(threads) + " threads");
                FitOptions options;
                options.path = path;
                options.threads = threads;
                options.minItemsForThreads = 2;
                // Every lane of a batch, whichever layout sits beside it.
                const Layout other = RandomLayout(c.items, engine);
                const float *layouts[] = {other.data(), layout.data(), other.data(), other.data(),
                                          other.data(), other.data(), other.data(), layout.data()};
                for (int count : {2, 8}) {
                    double fits[8];
                    FitBatch(data, options).score(layouts, count, fits);
                    EXPECT_TRUE(SameBits(fits[1], fit)) << count << " layouts";
                    EXPECT_TRUE(SameBits(fits[count - 1], fit)) << count << " layouts";
                }
                FitGradient pass(data, c.dimensions, options);
                for (int call = 0; call < 2; ++call) {
                    EXPECT_TRUE(SameBits(pass.evaluate(coords.data(), c.smoothing, gradient.data()), value));
                    EXPECT_EQ(std::memcmp(gradient.data(), expected.data(), gradient.size() * sizeof(double)), 0)
                        << "call " << call;
                }
            }
        }
    }
}

TEST(WeightedFit, EqualWeightsAreTheUnweightedMeasure)
{
    // K = 2 x the sum of the weights: weights all 3 scale every sum and K alike.
    const int n = 19;
    const DistanceData plain = PointDistances(ClusteredPoints(n, 2, 4, 2), 2, 0.2);
    const DistanceData threes = Weighted(plain, std::vector<float>(pairCount(n), 3.0f));
    ASSERT_TRUE(threes.weighted());
    std::mt19937 engine(3);
    for (int trial = 0; trial < 5; ++trial) {
        const Layout layout = RandomLayout(n, engine);
        // The unweighted measure keeps the table's sums in single precision.
        EXPECT_NEAR(LayoutFitness(threes, layout), LayoutFitness(plain, layout), 1e-6);
    }
}

TEST(WeightedFit, GradientMatchesCentralDifferences)
{
    struct Case {
        const char *name;
        int items;
        int dimensions;
        double smoothing;
        bool coincident;
        bool fractions;
    };
    const Case cases[] = {
        {"2-D, 0/1 weights", 12, 2, 0.0, false, false},
        {"3-D, fractional weights", 11, 3, 0.0, false, true},
        {"2-D, coincident items", 10, 2, 0.0, true, true},
        {"2-D smoothed", 13, 2, 25.0, false, true},
        {"3-D smoothed, coincident items", 9, 3, 4.0, true, false},
    };
    std::mt19937 engine(77);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceData data = Weighted(PointDistances(ClusteredPoints(c.items, 3, 3, 11), 3, 0.1),
                                           RandomWeights(c.items, 0.3, c.fractions, 4));
        std::vector<double> coords = RandomCoords(c.items, c.dimensions, engine);
        if (c.coincident)
            for (int d = 0; d < c.dimensions; ++d)
                coords[d * c.items + 1] = coords[d * c.items + 0];
        FitGradient fitGradient(data, c.dimensions);
        std::vector<double> gradient(coords.size()), scratch(coords.size());
        fitGradient.evaluate(coords.data(), c.smoothing, gradient.data());
        ASSERT_NO_FATAL_FAILURE(ExpectCentralDifferences(
            coords, gradient, [&](const double *x) { return fitGradient.evaluate(x, c.smoothing, scratch.data()); },
            1e-12));
    }
}

TEST(WeightedFit, PairsOfWeightZeroNeverEnterWhateverTheTableHolds)
{
    // One table with its missing cells 0 (as read from NA), the other with
    // the true distances there: the same weights give the same bits
    // everywhere, from the fit to the best map.
    const int n = 30;
    const DistanceData full = PointDistances(ClusteredPoints(n, 2, 3, 8), 2, 0.05);
    const std::vector<float> weights = RandomWeights(n, 0.2, false, 12);
    DistanceData holes = full;
    std::size_t p = 0;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j, ++p)
            if (weights[p] == 0.0f)
                holes.Distances[i * side + j] = holes.Distances[j * side + i] = 0.0f;
    holes.packPairs();
    const DistanceData a = Weighted(full, weights);
    const DistanceData b = Weighted(holes, weights);
    EXPECT_EQ(std::memcmp(&a.DistanceSpread, &b.DistanceSpread, sizeof(float)), 0);
    EXPECT_EQ(FilledDistances(a).Distances, FilledDistances(b).Distances);
    EXPECT_EQ(ClassicalCoordinates(a, 2), ClassicalCoordinates(b, 2));
    std::mt19937 engine(1);
    const Layout layout = RandomLayout(n, engine);
    const double fa = LayoutFitness(a, layout), fb = LayoutFitness(b, layout);
    EXPECT_EQ(std::memcmp(&fa, &fb, sizeof fa), 0);
    const BestMapResult ma = FindBestMap(a, nullptr), mb = FindBestMap(b, nullptr);
    EXPECT_EQ(ma.layout, mb.layout);
    EXPECT_EQ(std::memcmp(&ma.fit, &mb.fit, sizeof ma.fit), 0);
}

TEST(FilledDistances, MissingPairsTakeTheShortestPathThroughPresentOnes)
{
    struct Case {
        const char *name;
        int items;
        std::vector<float> cells;   // above the diagonal, row by row
        std::vector<float> weights; // the same order
        std::vector<float> filled;
    };
    const Case cases[] = {
        // 1 - 2 - 3 on a line: 1-3 missing becomes 1 + 2.
        {"two steps", 3, {1, 0, 2}, {1, 0, 1}, {1, 3, 2}},
        // 1-4 missing: via 2 (1 + 5 = 6) or via 3 (2 + 1 = 3).
        {"the shorter of two ways", 4, {1, 2, 0, 4, 5, 1}, {1, 1, 0, 1, 1, 1}, {1, 2, 3, 4, 5, 1}},
        // A chain 1-2-3-4 with everything else missing, the held values ignored.
        {"a chain, held values ignored", 4, {1, 9, 9, 1, 9, 1}, {1, 0, 0, 1, 0, 1}, {1, 2, 3, 1, 2, 1}},
        // A weight other than 1 counts as present, its distance as it is.
        {"fractional weights are present", 3, {1, 5, 2}, {0.5f, 0, 2}, {1, 3, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceData filled = FilledDistances(Weighted(MakeDistances(c.items, c.cells), c.weights));
        EXPECT_FALSE(filled.weighted());
        std::vector<float> upper;
        for (int i = 1; i <= c.items; ++i)
            for (int j = i + 1; j <= c.items; ++j) {
                upper.push_back(filled.distance(i, j));
                EXPECT_EQ(filled.distance(i, j), filled.distance(j, i));
            }
        EXPECT_EQ(upper, c.filled);
        EXPECT_EQ(filled.PairDistances, c.filled);
    }
}

TEST(FilledDistances, AboveThePathLimitMissingPairsTakeTheItemsMeanDistances)
{
    // 1 - 2 - 3 on a line, 1-3 missing: item 1's present mean is 1, item 3's
    // is 2, so the filled pair is 1.5 instead of the path's 3.
    const DistanceData data = Weighted(MakeDistances(3, {1, 9, 2}), {1, 0, 1});
    const DistanceData byMeans = FilledDistances(data, 2);
    EXPECT_FALSE(byMeans.weighted());
    EXPECT_EQ(byMeans.PairDistances, (std::vector<float>{1, 1.5f, 2}));
    EXPECT_EQ(byMeans.distance(3, 1), 1.5f);
    EXPECT_EQ(FilledDistances(data, 3).PairDistances, (std::vector<float>{1, 3, 2}));
}

/// Procrustes distance of two 2-D maps (positions 1..2N): the share of the
/// first map's spread about its centre that the second, moved, turned,
/// mirrored if that fits better, and scaled as well as possible, leaves
/// unexplained. 0 for the same shape, 1 for no likeness at all.
double ProcrustesDistance(const Layout &a, const Layout &b, int n)
{
    std::vector<std::complex<double>> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
    std::complex<double> mx, my;
    for (int i = 0; i < n; ++i) {
        x[i] = {a[i + 1], a[n + i + 1]};
        y[i] = {b[i + 1], b[n + i + 1]};
        mx += x[i];
        my += y[i];
    }
    double xx = 0, yy = 0;
    std::complex<double> turned, mirrored;
    for (int i = 0; i < n; ++i) {
        const std::complex<double> u = x[i] - mx / double(n), v = y[i] - my / double(n);
        xx += std::norm(u);
        yy += std::norm(v);
        turned += std::conj(v) * u;
        mirrored += v * u;
    }
    const double best = std::max(std::norm(turned), std::norm(mirrored));
    return 1.0 - best / (xx * yy);
}

TEST(WeightedFit, MapsWithAFifthOfThePairsRemovedStayCloseToTheFullMap)
{
    // Procrustes distance: the fit ignores where the map lies, how it is
    // turned or mirrored and its size, so the comparison does too; as a share
    // of the spread it reads the same for every table. Below 0.02 the two
    // maps place every cluster and nearly every item alike.
    struct Case {
        const char *name;
        int items;
        int clusters;
        double noise;
        unsigned seed;
    };
    const Case cases[] = {
        {"clusters, little noise", 60, 4, 0.05, 3},
        {"clusters, more noise", 80, 3, 0.15, 6},
        {"points in 3-D", 50, 5, 0.05, 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int dimensions = std::string(c.name).find("3-D") != std::string::npos ? 3 : 2;
        const DistanceData full =
            PointDistances(ClusteredPoints(c.items, dimensions, c.clusters, c.seed), dimensions, c.noise, c.seed);
        const DistanceData holes = Weighted(full, RandomWeights(c.items, 0.2, false, c.seed + 100));
        ASSERT_GT(holes.MissingPairs, static_cast<long long>(pairCount(c.items) / 6));
        const BestMapResult whole = FindBestMap(full, nullptr);
        const BestMapResult part = FindBestMap(holes, nullptr);
        const double distance = ProcrustesDistance(whole.layout, part.layout, c.items);
        EXPECT_LT(distance, 0.02);
        // And against a map of another table, the distance is large: the measure can fail.
        const DistanceData other = PointDistances(ClusteredPoints(c.items, 2, c.clusters, c.seed + 50), 2, c.noise);
        EXPECT_GT(ProcrustesDistance(whole.layout, FindBestMap(other, nullptr).layout, c.items), 0.2);
    }
}

} // namespace
} // namespace tessarin
