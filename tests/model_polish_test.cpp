#include "fit/layout_fitness.h"
#include "map_tables.h"
#include "models/model_best_map.h"
#include "models/model_loss.h"
#include "models/model_polish.h"
#include "models/model_stress.h"
#include "recording_observer.h"
#include "scaling/classical_scaling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using namespace testing;

constexpr StressModel AllModels[] = {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal,
                                     StressModel::Sammon};

/// The table with each given distance g replaced by transform(g).
DistanceData Transformed(const DistanceData &data, const std::function<double(double)> &transform)
{
    std::vector<float> upper;
    for (int i = 1; i <= data.ItemCount; ++i)
        for (int j = i + 1; j <= data.ItemCount; ++j)
            upper.push_back(static_cast<float>(transform(data.distance(i, j))));
    DistanceData result = MakeDistances(data.ItemCount, upper);
    result.packPairs();
    return result;
}

/// 24 items whose distances are whole numbers 1..40 (so tie blocks appear,
/// and their cubes are exact in single precision).
DistanceData WholeNumberTable()
{
    const DistanceData points = PointDistances(ClusteredPoints(24, 3, 3, 17), 3, 0.05);
    double largest = 0.0;
    for (int i = 1; i <= 24; ++i)
        for (int j = i + 1; j <= 24; ++j)
            largest = std::max(largest, static_cast<double>(points.distance(i, j)));
    return Transformed(points, [largest](double g) { return std::max(1.0, std::round(40.0 * g / largest)); });
}

bool SameBits(const Layout &a, const Layout &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(ModelPolish, OrdinalPolishDependsOnlyOnTheOrderOfTheGivenDistances)
{
    const DistanceData table = WholeNumberTable();
    const Layout start = RandomLayout(24, 3, 5.0f, 995.0f);
    struct Transform {
        const char *name;
        std::function<double(double)> apply;
    };
    const Transform transforms[] = {
        {"cube", [](double g) { return g * g * g; }},
        {"root", [](double g) { return std::sqrt(g); }},
        {"logarithm plus 3", [](double g) { return std::log(g) + 3.0; }},
    };
    for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary}) {
        const ModelSetting setting{StressModel::Ordinal, ties};
        const ModelPolishResult reference = PolishUnderModel(table, start, setting);
        ASSERT_GT(reference.iterations, 3);
        for (const Transform &transform : transforms) {
            SCOPED_TRACE(std::string(transform.name) + ", " + TiesKey(ties));
            const ModelPolishResult result = PolishUnderModel(Transformed(table, transform.apply), start, setting);
            EXPECT_TRUE(SameBits(result.layout, reference.layout));
            EXPECT_EQ(result.stress, reference.stress);
            EXPECT_EQ(result.iterations, reference.iterations);
        }
    }
}

TEST(ModelPolish, IntervalPolishIgnoresALinearChangeOfTheGivenDistances)
{
    const DistanceData table = PointDistances(ClusteredPoints(20, 3, 3, 23), 3, 0.1);
    const Layout start = RandomLayout(20, 5, 5.0f, 995.0f);
    const ModelSetting interval{StressModel::Interval, TieApproach::Primary};
    const ModelPolishResult reference = PolishUnderModel(table, start, interval);
    // A power-of-two factor changes no rounding: the same bits.
    const ModelPolishResult scaled = PolishUnderModel(Transformed(table, [](double g) { return 4.0 * g; }), start, interval);
    EXPECT_TRUE(SameBits(scaled.layout, reference.layout));
    // Others round differently but reach the same stress.
    struct Change {
        double a, c;
    };
    for (const Change change : {Change{3.7, 12.5}, Change{0.01, 0.0}, Change{250.0, -1.0}}) {
        SCOPED_TRACE("a = " + std::to_string(change.a) + ", c = " + std::to_string(change.c));
        const DistanceData changed = Transformed(table, [change](double g) { return change.a * g + change.c; });
        // The loss at one map agrees to rounding ...
        ModelLoss before(table, interval, 2), after(changed, interval, 2);
        std::vector<double> coords(40), gradient(40);
        for (std::size_t k = 0; k < coords.size(); ++k)
            coords[k] = start[k + 1];
        const double lossBefore = before.evaluate(coords.data(), gradient.data());
        EXPECT_NEAR(after.evaluate(coords.data(), gradient.data()), lossBefore, 1e-6 * lossBefore);
        // ... and so does the polished stress.
        EXPECT_NEAR(PolishUnderModel(changed, start, interval).stress, reference.stress, 1e-6 * reference.stress);
    }
}

TEST(ModelPolish, NeverRaisesTheStressAndReachesAStationaryMap)
{
    const DistanceData table = PointDistances(ClusteredPoints(30, 4, 3, 41), 4, 0.1);
    for (StressModel model : AllModels) {
        SCOPED_TRACE(ModelKey(model));
        const ModelSetting setting{model, TieApproach::Primary};
        const Layout start = RandomLayout(30, 9, 5.0f, 995.0f);
        const ModelPolishResult result = PolishUnderModel(table, start, setting);
        EXPECT_LT(result.stress, 0.5 * ModelStress(table, start, setting));
        EXPECT_NEAR(result.stress, ModelStress(table, result.layout, setting), 1e-12);
        EXPECT_EQ(result.fit, LayoutFitness(table, result.layout));
        // Polishing the result again gains (almost) nothing and never loses.
        const ModelPolishResult again = PolishUnderModel(table, result.layout, setting);
        EXPECT_LE(again.stress, result.stress);
        EXPECT_GT(again.stress, result.stress * (1.0 - 1e-4));
        // Stored form: the longer axis spans 5..995.
        float low = 1e9f, high = -1e9f;
        for (int k = 1; k <= 30; ++k) {
            low = std::min(low, result.layout[k]);
            high = std::max(high, result.layout[k]);
        }
        EXPECT_NEAR(low, 5.0f, 1e-3);
        EXPECT_NEAR(high, 995.0f, 1e-3);
    }
}

TEST(ModelBestMap, BeatsEveryStartItPolishesAndTheFitsMap)
{
    const DistanceData table = PointDistances(ClusteredPoints(40, 5, 4, 7), 5, 0.1);
    const Layout classical = ClassicalLayout(table);
    for (StressModel model : AllModels) {
        SCOPED_TRACE(ModelKey(model));
        const ModelSetting setting{model, TieApproach::Primary};
        const ModelBestMapResult best = FindBestModelMap(table, setting);
        EXPECT_FALSE(best.stopped);
        EXPECT_EQ(best.routes.size(), model == StressModel::Ratio ? 4u : 5u);
        EXPECT_NEAR(best.stress, ModelStress(table, best.layout, setting), 1e-12);
        EXPECT_LE(best.stress, PolishUnderModel(table, classical, setting).stress * (1.0 + 1e-9));
        for (const RouteOutcome &route : best.routes)
            EXPECT_GE(route.score, best.stress * (1.0 - 1e-9)) << "route " << route.name;
        EXPECT_LT(best.stress, ModelStress(table, classical, setting));
        // The same again, bit for bit.
        const ModelBestMapResult again = FindBestModelMap(table, setting);
        EXPECT_TRUE(SameBits(again.layout, best.layout));
        EXPECT_EQ(again.winner, best.winner);
    }
}

TEST(ModelBestMap, ExactTablesReachZeroStress)
{
    // Points in the plane: every model can reproduce them.
    const DistanceData table = PointDistances(ClusteredPoints(12, 2, 3, 29), 2);
    for (StressModel model : AllModels) {
        SCOPED_TRACE(ModelKey(model));
        const ModelBestMapResult best = FindBestModelMap(table, {model, TieApproach::Primary});
        EXPECT_LT(best.stress, model == StressModel::Sammon ? 1e-9 : 1e-5);
    }
}

TEST(ModelBestMap, SmallAndFlatTables)
{
    struct Case {
        const char *name;
        DistanceData data;
        /// The stress every stress-1 model reaches (Sammon: 0 wherever a
        /// pair counts); negative: only that it is a figure in 0..1.
        double stress;
    };
    const Case cases[] = {
        {"N = 1", MakeDistances(1, {}), 1.0},
        {"N = 2", MakeDistances(2, {2.0f}), 0.0},
        {"3-4-5 triangle", MakeDistances(3, {3.0f, 4.0f, 5.0f}), 0.0},
        {"all distances equal", MakeDistances(5, std::vector<float>(10, 4.0f)), -1.0},
        {"all distances 0", MakeDistances(6, std::vector<float>(15, 0.0f)), -1.0},
    };
    for (const Case &c : cases)
        for (StressModel model : AllModels) {
            SCOPED_TRACE(std::string(c.name) + ", " + ModelKey(model));
            const ModelBestMapResult result = FindBestModelMap(c.data, {model, TieApproach::Primary});
            EXPECT_EQ(result.layout.size(), 2 * static_cast<std::size_t>(c.data.ItemCount) + 1);
            if (c.stress >= 0.0) {
                EXPECT_NEAR(result.stress, c.stress, 1e-6);
            } else {
                EXPECT_GE(result.stress, 0.0);
                EXPECT_LE(result.stress, 1.0);
            }
        }
}

TEST(ModelBestMap, StopKeepsTheBestSoFar)
{
    const DistanceData table = PointDistances(ClusteredPoints(40, 4, 3, 13), 4, 0.1);
    for (StressModel model : AllModels) {
        SCOPED_TRACE(ModelKey(model));
        RecordingObserver observer;
        observer.mapEvery = 3;
        observer.stopAfter = 30;
        const ModelSetting setting{model, TieApproach::Primary};
        const ModelBestMapResult best = FindBestModelMap(table, setting, &observer);
        EXPECT_TRUE(best.stopped);
        ASSERT_FALSE(best.routes.empty());
        EXPECT_NE(best.routes.back().description.find("(stopped)"), std::string::npos);
        EXPECT_NEAR(best.stress, ModelStress(table, best.layout, setting), 1e-12);
        EXPECT_FALSE(observer.maps.empty());
        // The classical start's stage, then the routes'.
        ASSERT_FALSE(observer.progressCalls.empty());
        EXPECT_EQ(observer.progressCalls.front().first, "classical");
        EXPECT_EQ(observer.progressCalls.back().first, "route " + best.routes.back().name);
        for (std::size_t k = 0; k < observer.maps.size(); ++k)
            EXPECT_EQ(observer.fits[k], LayoutFitness(table, observer.maps[k]));
    }
}

TEST(ModelBestMap, IdenticalItemsStayOnOnePoint)
{
    std::vector<double> points = ClusteredPoints(16, 3, 3, 37);
    for (int d = 0; d < 3; ++d)
        points[3 * 9 + d] = points[3 * 2 + d]; // item 10 repeats item 3
    const DistanceData table = PointDistances(points, 3);
    for (StressModel model : AllModels) {
        SCOPED_TRACE(ModelKey(model));
        const ModelBestMapResult best = FindBestModelMap(table, {model, TieApproach::Primary});
        EXPECT_EQ(best.layout[3], best.layout[10]);
        EXPECT_EQ(best.layout[16 + 3], best.layout[16 + 10]);
    }
}

TEST(ModelKeys, ReadBackAndRefuseOtherText)
{
    for (StressModel model : {StressModel::Fit, StressModel::Ratio, StressModel::Interval, StressModel::Ordinal,
                              StressModel::Sammon})
        EXPECT_EQ(ModelFromKey(ModelKey(model)), model);
    for (const char *text : {"", "Ratio", "ordinal ", "nmds", "kruskal"})
        EXPECT_FALSE(ModelFromKey(text).has_value()) << text;
    EXPECT_EQ(TiesFromKey("primary"), TieApproach::Primary);
    EXPECT_EQ(TiesFromKey("secondary"), TieApproach::Secondary);
    EXPECT_FALSE(TiesFromKey("tertiary").has_value());
    struct Verdict {
        double stress;
        const char *word;
    };
    for (const Verdict v : {Verdict{0.0, "excellent"}, Verdict{0.025, "excellent"}, Verdict{0.0251, "good"},
                            Verdict{0.05, "good"}, Verdict{0.07, "fair"}, Verdict{0.1, "fair"}, Verdict{0.15, "poor"},
                            Verdict{0.2, "poor"}, Verdict{0.21, "bad"}})
        EXPECT_STREQ(StressVerdict(v.stress), v.word) << v.stress;
    struct Status {
        StressModel model;
        double stress;
        const char *text;
    };
    for (const Status s : {Status{StressModel::Ordinal, 0.0231, "Ordinal stress-1 0.0231 (excellent)"},
                           Status{StressModel::Ratio, 0.13449, "Ratio stress-1 0.1345 (poor)"},
                           Status{StressModel::Interval, 0.5, "Interval stress-1 0.5000 (bad)"},
                           Status{StressModel::Sammon, 0.00397, "Sammon stress 0.0040"},
                           Status{StressModel::Fit, 0.1, ""}})
        EXPECT_EQ(ModelStatusText(s.model, s.stress), s.text);
}

} // namespace
} // namespace tessarin
