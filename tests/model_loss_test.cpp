#include "base/tessarin_error.h"
#include "diagnostics/model_figures.h"
#include "forced_fit_options.h"
#include "gradient_check.h"
#include "map_tables.h"
#include "models/model_loss.h"
#include "models/model_stress.h"
#include "models/stored_model_stress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using namespace testing;

std::vector<double> RandomWeights(std::size_t pairs, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> uniform(0.2, 3.0);
    std::vector<double> weights(pairs);
    for (double &w : weights)
        w = uniform(engine);
    return weights;
}

/// The table with every given distance rounded to a whole number, so that
/// blocks of tied distances appear.
DistanceData Rounded(const DistanceData &data)
{
    std::vector<float> upper;
    for (int i = 1; i <= data.ItemCount; ++i)
        for (int j = i + 1; j <= data.ItemCount; ++j)
            upper.push_back(std::round(data.distance(i, j) / 8.0f));
    DistanceData rounded = MakeDistances(data.ItemCount, upper);
    rounded.packPairs();
    return rounded;
}

struct GradientCase {
    const char *name;
    ModelSetting setting;
    int items;
    int dimensions;
    /// Items 1 and 2 (and 3 and 4) put on one point.
    bool coincident;
    bool weighted;
    /// Given distances rounded into tie blocks.
    bool ties;
};

TEST(ModelLoss, GradientMatchesCentralDifferences)
{
    constexpr auto Ratio = StressModel::Ratio;
    constexpr auto Interval = StressModel::Interval;
    constexpr auto Ordinal = StressModel::Ordinal;
    constexpr auto Sammon = StressModel::Sammon;
    constexpr auto Primary = TieApproach::Primary;
    constexpr auto Secondary = TieApproach::Secondary;
    const GradientCase cases[] = {
        {"ratio 2-D", {Ratio, Primary}, 12, 2, false, false, false},
        {"ratio 3-D, coincident", {Ratio, Primary}, 11, 3, true, false, false},
        {"ratio weighted", {Ratio, Primary}, 13, 2, false, true, false},
        {"interval 2-D", {Interval, Primary}, 12, 2, false, false, false},
        {"interval coincident", {Interval, Primary}, 10, 2, true, false, false},
        {"interval 3-D weighted", {Interval, Primary}, 9, 3, false, true, false},
        {"ordinal 2-D", {Ordinal, Primary}, 12, 2, false, false, false},
        {"ordinal primary ties", {Ordinal, Primary}, 14, 2, false, false, true},
        {"ordinal secondary ties", {Ordinal, Secondary}, 14, 2, false, false, true},
        {"ordinal coincident, 3-D", {Ordinal, Primary}, 10, 3, true, false, false},
        {"ordinal weighted ties", {Ordinal, Secondary}, 11, 2, false, true, true},
        {"Sammon 2-D", {Sammon, Primary}, 12, 2, false, false, false},
        {"Sammon coincident", {Sammon, Primary}, 10, 2, true, false, false},
        {"Sammon 3-D weighted", {Sammon, Primary}, 9, 3, false, true, false},
        {"ratio past one vector of lanes", {Ratio, Primary}, 40, 2, false, false, false},
        {"ordinal past one vector of lanes", {Ordinal, Primary}, 40, 2, false, false, true},
    };
    std::mt19937 engine(4242);
    for (const GradientCase &c : cases) {
        SCOPED_TRACE(c.name);
        DistanceData data = PointDistances(ClusteredPoints(c.items, 3, 3, 11), 3, 0.1);
        if (c.ties)
            data = Rounded(data);
        const std::size_t pairs = static_cast<std::size_t>(c.items) * (c.items - 1) / 2;
        const std::vector<double> weights = c.weighted ? RandomWeights(pairs, 9) : std::vector<double>{};
        ModelLoss loss(data, c.setting, c.dimensions, &weights, Forced(FitPath::Portable, 1));
        std::vector<double> coords = RandomCoords(c.items, c.dimensions, engine);
        if (c.coincident)
            for (int d = 0; d < c.dimensions; ++d) {
                coords[d * c.items + 1] = coords[d * c.items + 0];
                coords[d * c.items + 3] = coords[d * c.items + 2];
            }
        std::vector<double> gradient(coords.size()), scratch(coords.size());
        const double value = loss.evaluate(coords.data(), gradient.data());
        EXPECT_GT(value, 0.0);
        EXPECT_LT(value, 1.0);
        ASSERT_NO_FATAL_FAILURE(ExpectCentralDifferences(
            coords, gradient, [&](const double *x) { return loss.evaluate(x, scratch.data()); }, 1e-9));
    }
}

TEST(ModelLoss, LossAgreesWithTheDirectStressOfTheMap)
{
    // The loss of the pass against the straightforward double-precision
    // computation of MeasureModelStress on the same (stored) map.
    const DistanceData data = Rounded(PointDistances(ClusteredPoints(30, 4, 4, 3), 4, 0.1));
    std::mt19937 engine(8);
    Layout layout = RandomLayout(30, engine, 5.0f, 995.0f);
    const std::vector<double> weights = RandomWeights(30 * 29 / 2, 4);
    for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon})
        for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary})
            for (bool weighted : {false, true}) {
                SCOPED_TRACE(std::string(ModelKey(model)) + ", " + TiesKey(ties) + (weighted ? ", weighted" : ""));
                const ModelSetting setting{model, ties};
                ModelLoss loss(data, setting, 2, weighted ? &weights : nullptr);
                const ModelStressFigures figures = MeasureModelStress(data, layout, setting, weighted ? &weights : nullptr);
                EXPECT_NEAR(StoredModelStress(loss, layout), figures.stress, 1e-12);
                EXPECT_GT(figures.stress, 0.01);
                double shares = 0.0;
                for (double share : figures.pointShares)
                    shares += share;
                EXPECT_NEAR(shares, 100.0, 1e-9);
            }
}

TEST(ModelLoss, EveryModelGivesZeroForAMapThatReproducesTheTable)
{
    // The 3-4-5 triangle, and the same map ten times as large.
    const DistanceData data = MakeDistances(3, {3.0f, 4.0f, 5.0f});
    const Layout exact = {0.0f, 0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 4.0f};
    const Layout larger = {0.0f, 0.0f, 30.0f, 0.0f, 0.0f, 0.0f, 40.0f};
    for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon})
        for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary})
            for (const Layout *layout : {&exact, &larger}) {
                SCOPED_TRACE(std::string(ModelKey(model)) + ", " + TiesKey(ties) +
                             (layout == &exact ? ", exact" : ", ten times"));
                const ModelSetting setting{model, ties};
                const ModelStressFigures figures = MeasureModelStress(data, *layout, setting);
                EXPECT_EQ(figures.stress, 0.0);
                for (double share : figures.pointShares)
                    EXPECT_EQ(share, 0.0);
                ModelLoss loss(data, setting, 2);
                EXPECT_NEAR(StoredModelStress(loss, *layout), 0.0, 1e-7);
            }
}

TEST(ModelLoss, DisparitiesFollowTheModel)
{
    // Items on a line at 0, 1, 3, 7: map distances 1, 3, 7, 2, 6, 4.
    const DistanceData data = MakeDistances(4, {2.0f, 2.0f, 9.0f, 1.0f, 5.0f, 5.0f});
    const Layout line = {0.0f, 0.0f, 1.0f, 3.0f, 7.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    struct Row {
        ModelSetting setting;
        std::vector<double> disparities;
    };
    // Ratio: b = sum g m / sum g^2 = 123 / 140. Ordinal primary: keys 1 < 2 = 2
    // < 5 = 5 < 9 hold m 2 | (1, 3) | (6, 4) | 7; the ties taken by m give
    // 2, 1, 3, 4, 6, 7, where 2 and 1 pool to 1.5. Secondary: the ties pooled
    // first give 2 | 2 | 5 | 7, already non-decreasing.
    const double b = 123.0 / 140.0;
    Row rows[] = {
        {{StressModel::Ratio, TieApproach::Primary}, {2 * b, 2 * b, 9 * b, 1 * b, 5 * b, 5 * b}},
        {{StressModel::Ordinal, TieApproach::Primary}, {1.5, 3, 7, 1.5, 6, 4}},
        {{StressModel::Ordinal, TieApproach::Secondary}, {2, 2, 7, 2, 5, 5}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(ModelKey(row.setting.model)) + ", " + TiesKey(row.setting.ties));
        const ModelStressFigures figures = MeasureModelStress(data, line, row.setting);
        ASSERT_EQ(figures.disparities.size(), row.disparities.size());
        for (std::size_t p = 0; p < row.disparities.size(); ++p)
            EXPECT_NEAR(figures.disparities[p], row.disparities[p], 1e-12) << "pair " << p;
    }
    const ModelStressFigures interval = MeasureModelStress(data, line, {StressModel::Interval, TieApproach::Primary});
    // m = a + b g by least squares: mean g = 4, mean m = 23 / 6.
    const std::vector<double> g = {2, 2, 9, 1, 5, 5}, m = {1, 3, 7, 2, 6, 4};
    double sgm = 0, sgg = 0;
    for (int p = 0; p < 6; ++p) {
        sgm += (g[p] - 4.0) * (m[p] - 23.0 / 6.0);
        sgg += (g[p] - 4.0) * (g[p] - 4.0);
    }
    EXPECT_NEAR(interval.slope, sgm / sgg, 1e-12);
    EXPECT_NEAR(interval.intercept, 23.0 / 6.0 - 4.0 * sgm / sgg, 1e-12);
}

TEST(ModelLoss, EveryPathAndThreadCountGivesTheSameBits)
{
    const DistanceData data = Rounded(PointDistances(ClusteredPoints(150, 4, 5, 21), 4, 0.05));
    std::mt19937 engine(99);
    const std::vector<double> coords2 = RandomCoords(150, 2, engine, 500.0);
    const std::vector<double> coords3 = RandomCoords(150, 3, engine, 500.0);
    const std::vector<double> weights = RandomWeights(150 * 149 / 2, 31);
    for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon})
        for (int dimensions : {2, 3})
            for (bool weighted : {false, true}) {
                SCOPED_TRACE(std::string(ModelKey(model)) + ", " + std::to_string(dimensions) + "-D" +
                             (weighted ? ", weighted" : ""));
                const ModelSetting setting{model, TieApproach::Primary};
                const std::vector<double> &coords = dimensions == 2 ? coords2 : coords3;
                ModelLoss reference(data, setting, dimensions, weighted ? &weights : nullptr, Forced(FitPath::Portable, 1));
                std::vector<double> expected(coords.size());
                const double expectedLoss = reference.evaluate(coords.data(), expected.data());
                for (FitPath path : {FitPath::Portable, FitPath::Avx2, FitPath::Avx512})
                    for (int threads : {1, 2}) {
                        if (!FitPathSupported(path))
                            continue;
                        SCOPED_TRACE(std::string(FitPathName(path)) + ", " + std::to_string(threads) + " thread(s)");
                        ModelLoss loss(data, setting, dimensions, weighted ? &weights : nullptr, Forced(path, threads));
                        std::vector<double> gradient(coords.size());
                        // Twice: the second evaluation starts from the state the first left.
                        for (int round = 0; round < 2; ++round) {
                            const double value = loss.evaluate(coords.data(), gradient.data());
                            EXPECT_EQ(std::memcmp(&value, &expectedLoss, sizeof value), 0);
                            EXPECT_EQ(std::memcmp(gradient.data(), expected.data(), gradient.size() * sizeof(double)), 0);
                        }
                    }
            }
}

TEST(ModelFigures, TheDiagramAndTheStressPerPointFollowTheModel)
{
    const DistanceData data = Rounded(PointDistances(ClusteredPoints(25, 4, 3, 19), 4, 0.1));
    std::mt19937 engine(23);
    Layout layout = RandomLayout(25, engine, 5.0f, 995.0f);
    for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon}) {
        SCOPED_TRACE(ModelKey(model));
        const ModelSetting setting{model, TieApproach::Primary};
        StressFigures figures = MeasureStress(data, layout);
        AddModelFigures(figures, data, layout, setting);
        const ModelStressFigures measured = MeasureModelStress(data, layout, setting);
        EXPECT_EQ(figures.modelName, ModelFigureName(model));
        EXPECT_EQ(figures.modelStress, measured.stress);
        EXPECT_EQ(figures.pointShares, measured.pointShares);
        ASSERT_GE(figures.modelPath.size(), 2u);
        EXPECT_EQ(figures.modelPath.front().given, figures.givenLow);
        EXPECT_EQ(figures.modelPath.back().given, figures.givenHigh);
        // A path that never goes back or down, each step along or up.
        for (std::size_t k = 1; k < figures.modelPath.size(); ++k) {
            const ShepardPoint &a = figures.modelPath[k - 1], &b = figures.modelPath[k];
            EXPECT_LE(a.given, b.given);
            EXPECT_LE(a.map, b.map + 1e-12);
            if (model == StressModel::Ordinal) {
                EXPECT_TRUE(a.given == b.given || a.map == b.map) << "corner " << k;
            }
        }
        // Every pair's disparity lies on the path.
        if (model == StressModel::Ordinal) {
            std::size_t p = 0;
            for (int i = 1; i <= 25; ++i)
                for (int j = i + 1; j <= 25; ++j, ++p) {
                    const double g = data.distance(i, j);
                    const bool onPath = std::any_of(figures.modelPath.begin(), figures.modelPath.end(),
                                                    [&](const ShepardPoint &q) {
                                                        return q.given == g && q.map == measured.disparities[p];
                                                    });
                    EXPECT_TRUE(onPath) << "pair " << p;
                }
        }
    }
}

TEST(ModelLoss, RefusesWhatItCannotScore)
{
    const DistanceData data = MakeDistances(3, {3.0f, 4.0f, 5.0f});
    const std::vector<double> wrongCount = {1.0, 1.0};
    EXPECT_THROW(ModelLoss(data, {StressModel::Fit, TieApproach::Primary}, 2), TessarinError);
    EXPECT_THROW(ModelLoss(data, {StressModel::Ratio, TieApproach::Primary}, 4), TessarinError);
    EXPECT_THROW(ModelLoss(data, {StressModel::Ordinal, TieApproach::Primary}, 2, &wrongCount), TessarinError);
    EXPECT_THROW(MeasureModelStress(data, Layout(5, 0.0f), {StressModel::Ratio, TieApproach::Primary}), TessarinError);
    EXPECT_THROW(MeasureModelStress(DistanceData{}, Layout(7, 0.0f), {StressModel::Ratio, TieApproach::Primary}),
                 TessarinError);
}

TEST(ModelLoss, DegenerateTablesGiveFiniteLossesAndGradients)
{
    struct Table {
        const char *name;
        int n;
        std::vector<float> upper;
    };
    const Table tables[] = {
        {"every distance equal", 5, std::vector<float>(10, 3.0f)},
        {"every distance 0", 4, std::vector<float>(6, 0.0f)},
        {"half the distances 0", 4, {0.0f, 2.0f, 0.0f, 2.0f, 0.0f, 2.0f}},
        {"two items", 2, {7.0f}},
    };
    std::mt19937 engine(17);
    for (const Table &table : tables) {
        const DistanceData data = MakeDistances(table.n, table.upper);
        const std::vector<double> coords = RandomCoords(table.n, 2, engine);
        for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon})
            for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary}) {
                SCOPED_TRACE(std::string(table.name) + ", " + ModelKey(model) + ", " + TiesKey(ties));
                ModelLoss loss(data, {model, ties}, 2);
                std::vector<double> gradient(coords.size());
                const double value = loss.evaluate(coords.data(), gradient.data());
                EXPECT_TRUE(std::isfinite(value));
                EXPECT_GE(value, -1e-12);
                EXPECT_LE(value, 1.0 + 1e-12);
                for (double g : gradient)
                    EXPECT_TRUE(std::isfinite(g));
            }
    }
}

TEST(ModelLoss, AMapOnOnePointHasLossOneAndNoGradient)
{
    const DistanceData data = PointDistances(ClusteredPoints(8, 2, 2, 5), 2);
    for (StressModel model : {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon}) {
        SCOPED_TRACE(ModelKey(model));
        ModelLoss loss(data, {model, TieApproach::Primary}, 2);
        const std::vector<double> coords(16, 7.0);
        std::vector<double> gradient(16, 5.0);
        EXPECT_EQ(loss.evaluate(coords.data(), gradient.data()), 1.0);
        for (double g : gradient)
            EXPECT_EQ(g, 0.0);
    }
}

} // namespace
} // namespace tessarin
