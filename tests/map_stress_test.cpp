#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "diagnostics/map_stress.h"
#include "distance_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>
#include <random>

namespace tessarin {
namespace {

using testing::MakeDistances;

/// A layout from (x, y) per item.
Layout MapOf(const std::vector<std::pair<float, float>> &points)
{
    const std::size_t n = points.size();
    Layout layout(2 * n + 1, 0.0f);
    for (std::size_t i = 0; i < n; ++i) {
        layout[i + 1] = points[i].first;
        layout[n + i + 1] = points[i].second;
    }
    return layout;
}

/// Stress-1 and the shares the plain way: the scale first, then the
/// residuals in a second pass.
struct Reference {
    double stress1 = 0;
    std::vector<double> shares;
};

Reference TwoPassStress(const DistanceData &data, const Layout &layout)
{
    const int n = data.ItemCount;
    auto m = [&](int i, int j) {
        const float dx = layout[i] - layout[j];
        const float dy = layout[n + i] - layout[n + j];
        return std::sqrt(double(dx) * dx + double(dy) * dy);
    };
    double gm = 0, mm = 0, gg = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            gm += data.distance(i, j) * m(i, j);
            mm += m(i, j) * m(i, j);
            gg += double(data.distance(i, j)) * data.distance(i, j);
        }
    const double a = gm / mm;
    std::vector<double> perItem(n, 0.0);
    double total = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const double r = data.distance(i, j) - a * m(i, j);
            total += r * r;
            perItem[i - 1] += r * r;
            perItem[j - 1] += r * r;
        }
    Reference reference{std::sqrt(total / gg), {}};
    for (double item : perItem)
        reference.shares.push_back(50.0 * item / total);
    return reference;
}

TEST(MapStress, HandComputedTables)
{
    const std::vector<float> fourGiven = {1, 2, 3, 1, 2, 2};
    struct Case {
        const char *name;
        int n;
        std::vector<float> given;
        Layout map;
        double stress1;
        double scale;
        std::vector<double> shares;
    };
    const Case cases[] = {
        {"3-4-5 triangle", 3, {3, 4, 5}, MapOf({{0, 0}, {3, 0}, {0, 4}}), 0, 1, {0, 0, 0}},
        {"3-4-5 triangle ten times larger", 3, {3, 4, 5}, MapOf({{0, 0}, {30, 0}, {0, 40}}), 0, 0.1, {0, 0, 0}},
        // a = 21/20 on map distances 1, 2, 3, 1, 2, 1 (times 100); residuals
        // -0.05, -0.1, -0.15, -0.05, -0.1, 0.95: sum of squares 0.95 of 23.
        {"four items on a line",
         4,
         fourGiven,
         MapOf({{0, 0}, {100, 0}, {200, 0}, {300, 0}}),
         std::sqrt(0.95 / 23),
         0.0105,
         {700.0 / 380, 300.0 / 380, 18300.0 / 380, 18700.0 / 380}},
        // No scale helps: every given distance is the residual.
        {"all items at one point",
         4,
         fourGiven,
         MapOf({{5, 5}, {5, 5}, {5, 5}, {5, 5}}),
         1,
         0,
         {1400.0 / 46, 600.0 / 46, 900.0 / 46, 1700.0 / 46}},
        {"all given distances 0", 3, {0, 0, 0}, MapOf({{0, 0}, {3, 0}, {0, 4}}), 0, 0, {0, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceData data = MakeDistances(c.n, c.given);
        const StressFigures figures = MeasureStress(data, c.map);
        EXPECT_NEAR(figures.stress1, c.stress1, 1e-14);
        EXPECT_NEAR(figures.scale, c.scale, 1e-15);
        ASSERT_EQ(figures.pointShares.size(), c.shares.size());
        for (std::size_t i = 0; i < c.shares.size(); ++i)
            EXPECT_NEAR(figures.pointShares[i], c.shares[i], 1e-12) << "item " << i + 1;
        EXPECT_EQ(figures.itemCount, c.n);
        EXPECT_EQ(figures.pairCount, static_cast<std::uint64_t>(c.n * (c.n - 1) / 2));
        // The same fit as the search's, bit for bit.
        const double fit = LayoutFitness(data, c.map);
        EXPECT_EQ(std::memcmp(&figures.fit, &fit, sizeof fit), 0);
    }
}

TEST(MapStress, AgreesWithTheTwoPassFormulaOnNoisyAndNearlyPerfectMaps)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(0, 1000);
    std::normal_distribution<double> noise(0, 1);
    for (const double spread : {0.2, 1e-3, 1e-6}) {
        SCOPED_TRACE(spread);
        const int n = 40;
        std::vector<std::pair<float, float>> points;
        for (int i = 0; i < n; ++i)
            points.push_back({place(random), place(random)});
        const Layout map = MapOf(points);
        std::vector<float> given;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const double d = std::hypot(points[i].first - points[j].first, points[i].second - points[j].second);
                given.push_back(static_cast<float>(0.01 * d * (1 + spread * noise(random))));
            }
        const DistanceData data = MakeDistances(n, given);
        const StressFigures figures = MeasureStress(data, map);
        const Reference reference = TwoPassStress(data, map);
        EXPECT_NEAR(figures.stress1 / reference.stress1, 1.0, 1e-12);
        // Each residual g - a m is a difference of two numbers about 1/spread
        // times larger, in both ways of computing it.
        const double tolerance = 1e-14 / spread * 100;
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(figures.pointShares[i], reference.shares[i], tolerance) << "item " << i + 1;
            sum += figures.pointShares[i];
        }
        EXPECT_NEAR(sum, 100.0, 1e-9);
    }
}

TEST(MapStress, TheLineOfTheFitMeasure)
{
    struct Case {
        const char *name;
        Layout map;
        double slope;
        double intercept;
    };
    // Given 3, 4, 5; map distances 13, 14, 15 give B(m, g) = 86 and
    // B(g, g) = 26 over N (N - 1) = 6: slope 43/13, intercept (42 - 12 * 43/13) / 6.
    const Case cases[] = {
        {"map distances twice the given", MapOf({{0, 0}, {6, 0}, {0, 8}}), 2, 0},
        {"map distances 13, 14, 15", MapOf({{0, 0}, {5, 12}, {14, 0}}), 43.0 / 13, 5.0 / 13},
    };
    const DistanceData data = MakeDistances(3, {3, 4, 5});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const StressFigures figures = MeasureStress(data, c.map);
        EXPECT_NEAR(figures.lineSlope, c.slope, 1e-12);
        EXPECT_NEAR(figures.lineIntercept, c.intercept, 1e-12);
    }
}

TEST(MapStress, KeepsPointsUpToTheLimitAndCountsEveryPairOnceInTheGrid)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-5, 100);
    const int n = 30;
    std::vector<float> given(n * (n - 1) / 2);
    for (float &g : given)
        g = value(random);
    const DistanceData data = MakeDistances(n, given);
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < n; ++i)
        points.push_back({value(random) * 10, value(random) * 10});
    const Layout map = MapOf(points);

    for (const std::size_t limit : {std::size_t{0}, given.size() - 1, given.size()}) {
        SCOPED_TRACE(limit);
        StressSettings settings;
        settings.pointLimit = limit;
        settings.gridColumns = 7;
        settings.gridRows = 5;
        const StressFigures figures = MeasureStress(data, map, settings);
        EXPECT_EQ(figures.grid.total(), given.size());
        if (limit < given.size()) {
            EXPECT_TRUE(figures.points.empty());
            continue;
        }
        ASSERT_EQ(figures.points.size(), given.size());
        // In row order, and each in the bin its values call for.
        EXPECT_EQ(figures.points[0].given, data.distance(1, 2));
        EXPECT_EQ(figures.points[n - 1].given, data.distance(2, 3));
        std::vector<std::uint32_t> counts(7 * 5, 0);
        const ShepardGrid &grid = figures.grid;
        for (const ShepardPoint &p : figures.points) {
            const int c = std::min(6, int((p.given - grid.givenLow()) / (grid.givenHigh() - grid.givenLow()) * 7));
            const int r = std::min(4, int(p.map / grid.mapHigh() * 5));
            ++counts[r * 7 + c];
        }
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 7; ++c)
                EXPECT_EQ(grid.count(c, r), counts[r * 7 + c]) << "bin " << c << ", " << r;
    }
}

TEST(MapStress, SameFiguresOnAnyNumberOfThreads)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(0, 1000);
    const int n = 300;
    std::vector<float> given(n * (n - 1) / 2);
    for (float &g : given)
        g = value(random);
    const DistanceData data = MakeDistances(n, given);
    Layout map(2 * n + 1, 0.0f);
    for (float &c : map)
        c = value(random);
    StressSettings one;
    one.threads = 1;
    const StressFigures reference = MeasureStress(data, map, one);
    for (const unsigned threads : {2u, 3u, 8u}) {
        SCOPED_TRACE(threads);
        StressSettings settings;
        settings.threads = threads;
        const StressFigures figures = MeasureStress(data, map, settings);
        EXPECT_EQ(std::memcmp(&figures.stress1, &reference.stress1, sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(&figures.lineSlope, &reference.lineSlope, sizeof(double)), 0);
        EXPECT_EQ(figures.pointShares, reference.pointShares);
        EXPECT_EQ(figures.fit, reference.fit);
        ASSERT_EQ(figures.points.size(), reference.points.size());
        for (int r = 0; r < figures.grid.rows(); ++r)
            for (int c = 0; c < figures.grid.columns(); ++c)
                ASSERT_EQ(figures.grid.count(c, r), reference.grid.count(c, r));
    }
}

TEST(ShepardGrid, EdgesAndStrayValuesGoToTheEndBins)
{
    struct Case {
        const char *name;
        double given, map;
        int column, row;
    };
    const Case cases[] = {
        {"low corner", 0, 0, 0, 0},     {"high corner", 10, 4, 4, 3},  {"below both ends", -3, -1, 0, 0},
        {"beyond both ends", 11, 9, 4, 3}, {"inside", 4.1, 2.5, 2, 2}, {"not a number", std::nan(""), 1, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ShepardGrid grid(5, 4, 0, 10, 0, 4);
        grid.add(c.given, c.map);
        EXPECT_EQ(grid.count(c.column, c.row), 1u);
        EXPECT_EQ(grid.total(), 1u);
    }
    // A range without width still has bins.
    ShepardGrid flat(3, 3, 2, 2, 0, 0);
    flat.add(2, 0);
    EXPECT_EQ(flat.count(0, 0), 1u);
    EXPECT_THROW(ShepardGrid(0, 3, 0, 1, 0, 1), TessarinError);
}

TEST(MapStress, WorstPlacedItemsLargestFirstTiesByNumber)
{
    const std::vector<double> shares = {1, 5, 5, 0, 3};
    EXPECT_EQ(WorstPlacedItems(shares, 3), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(WorstPlacedItems(shares, 10), (std::vector<int>{2, 3, 5, 1}));
    EXPECT_TRUE(WorstPlacedItems(shares, 0).empty());
}

TEST(MapStress, RefusesAMissingTableOrAShortMap)
{
    EXPECT_THROW(MeasureStress(DistanceData{}, Layout(1, 0.0f)), TessarinError);
    const DistanceData data = MakeDistances(3, {3, 4, 5});
    EXPECT_THROW(MeasureStress(data, Layout(6, 0.0f)), TessarinError);
    const StressFigures one = MeasureStress(MakeDistances(1, {}), Layout(3, 0.0f));
    EXPECT_EQ(one.pairCount, 0u);
    EXPECT_EQ(one.pointShares, std::vector<double>{0.0});
}

} // namespace
} // namespace tessarin

#include "data/pair_weights.h"

namespace tessarin {
namespace {

TEST(MapStress, PairsOfWeightZeroAreLeftOutAndTheOthersWeighed)
{
    // Five items; pair 1-3 missing (its cell held 99, which must not count),
    // pair 2-5 weighing 2.
    const std::vector<float> cells = {1, 99, 3, 4, 2, 2.5f, 3.5f, 1, 2, 1.5f};
    const std::vector<float> weights = {1, 0, 1, 1, 1, 1, 2, 1, 1, 1};
    DistanceData data = MakeDistances(5, cells);
    SetPairWeights(data, weights, "w");
    const Layout layout = MapOf({{0, 0}, {1, 0.2f}, {2, 0}, {2.5f, 1}, {3.5f, 0.5f}});
    for (unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        StressSettings settings;
        settings.threads = threads;
        const StressFigures figures = MeasureStress(data, layout, settings);
        // The plain weighted figures.
        double gm = 0, mm = 0, gg = 0;
        std::vector<double> m;
        std::size_t p = 0;
        for (int i = 1; i <= 5; ++i)
            for (int j = i + 1; j <= 5; ++j, ++p) {
                const double dx = layout[i] - layout[j], dy = layout[5 + i] - layout[5 + j];
                m.push_back(std::sqrt(dx * dx + dy * dy));
                gm += weights[p] * cells[p] * m.back();
                mm += weights[p] * m.back() * m.back();
                gg += weights[p] * cells[p] * cells[p];
            }
        const double a = gm / mm;
        double residual = 0;
        std::vector<double> perItem(5, 0.0);
        p = 0;
        for (int i = 0; i < 5; ++i)
            for (int j = i + 1; j < 5; ++j, ++p) {
                const double r = weights[p] * (cells[p] - a * m[p]) * (cells[p] - a * m[p]);
                residual += r;
                perItem[i] += r;
                perItem[j] += r;
            }
        EXPECT_NEAR(figures.scale, a, 1e-12);
        EXPECT_NEAR(figures.stress1, std::sqrt(residual / gg), 1e-12);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(figures.pointShares[i], 100.0 * perItem[i] / (2 * residual), 1e-9) << "item " << i + 1;
        // Nine points, none of them the missing pair; its 99 is not in the range either.
        EXPECT_EQ(figures.points.size(), 9u);
        for (const ShepardPoint &point : figures.points)
            EXPECT_NE(point.given, 99.0);
        EXPECT_EQ(figures.givenHigh, 4.0);
        EXPECT_EQ(figures.fit, LayoutFitness(data, layout));
    }
}

} // namespace
} // namespace tessarin
