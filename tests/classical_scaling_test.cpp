#include "fit/layout_fitness.h"
#include "map_tables.h"
#include "scaling/classical_operator.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_axes.h"
#include "scaling/symmetric_eigen.h"
#include "base/tessarin_error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ClusteredPoints;
using testing::MakeDistances;
using testing::PointDistances;

/// B = -1/2 J (D o D) J built in full, for small tables.
std::vector<double> DenseB(const DistanceData &data)
{
    const int n = data.ItemCount;
    std::vector<double> squared(n * n), b(n * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double g = data.distance(i + 1, j + 1);
            squared[i * n + j] = g * g;
        }
    std::vector<double> row(n, 0.0), column(n, 0.0);
    double all = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            row[i] += squared[i * n + j] / n;
            column[j] += squared[i * n + j] / n;
            all += squared[i * n + j] / (double(n) * n);
        }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            b[i * n + j] = -0.5 * (squared[i * n + j] - row[i] - column[j] + all);
    return b;
}

TEST(ClassicalOperator, MatchesTheDenseMatrix)
{
    std::mt19937 engine(1);
    for (int n : {2, 5, 9, 31}) {
        SCOPED_TRACE("N = " + std::to_string(n));
        const DistanceData data = PointDistances(ClusteredPoints(n, 3, 3, n), 3, 0.2);
        const std::vector<double> b = DenseB(data);
        ClassicalOperator op(data, 1);
        std::vector<double> x(n), y(n);
        std::uniform_real_distribution<double> uniform(-1, 1);
        for (double &v : x)
            v = uniform(engine);
        op.perform_op(x.data(), y.data());
        for (int i = 0; i < n; ++i) {
            double expected = 0.0;
            for (int j = 0; j < n; ++j)
                expected += b[i * n + j] * x[j];
            EXPECT_NEAR(y[i], expected, 1e-9 * (1.0 + std::fabs(expected)));
        }
    }
}

TEST(ClassicalOperator, OneAndTwoThreadsGiveTheSameBits)
{
    const int n = 400;
    const DistanceData data = PointDistances(ClusteredPoints(n, 2, 4, 2), 2, 0.1);
    std::vector<double> x(n), one(n), two(n);
    for (int i = 0; i < n; ++i)
        x[i] = std::sin(0.37 * i);
    ClassicalOperator(data, 1).perform_op(x.data(), one.data());
    ClassicalOperator(data, 2).perform_op(x.data(), two.data());
    EXPECT_EQ(std::memcmp(one.data(), two.data(), n * sizeof(double)), 0);
}

/// Largest |distance error| of a classical map of points that lie in the plane.
double WorstDistanceError(const std::vector<double> &points, const std::vector<double> &coords, int n, int dims)
{
    double worst = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            double given = 0.0, mapped = 0.0;
            for (int d = 0; d < 2; ++d)
                given += std::pow(points[i * 2 + d] - points[j * 2 + d], 2);
            for (int d = 0; d < dims; ++d)
                mapped += std::pow(coords[i * dims + d] - coords[j * dims + d], 2);
            worst = std::max(worst, std::fabs(std::sqrt(given) - std::sqrt(mapped)));
        }
    return worst;
}

TEST(ClassicalScaling, RecoversAPlanarConfiguration)
{
    // Both the dense solver (few items) and Lanczos (more) are met here.
    for (int n : {3, 10, 24, 25, 80, 300}) {
        for (int dims : {2, 3}) {
            SCOPED_TRACE("N = " + std::to_string(n) + ", " + std::to_string(dims) + "-D");
            const std::vector<double> points = ClusteredPoints(n, 2, 3, 100 + n);
            const DistanceData data = PointDistances(points, 2);
            const std::vector<double> coords = ClassicalCoordinates(data, dims);
            ASSERT_EQ(coords.size(), static_cast<std::size_t>(n) * dims);
            // The table is rounded to single precision, which leaves B a
            // little spread in a third dimension.
            EXPECT_LT(WorstDistanceError(points, coords, n, dims), dims == 2 ? 1e-3 : 1e-2);
            for (int d = 0; d < dims; ++d) {
                double mean = 0.0;
                for (int i = 0; i < n; ++i)
                    mean += coords[i * dims + d];
                EXPECT_NEAR(mean / n, 0.0, 1e-9);
            }
        }
    }
}

TEST(ClassicalScaling, DegenerateTables)
{
    struct Case {
        const char *name;
        DistanceData data;
    };
    std::vector<Case> cases;
    cases.push_back({"one item", MakeDistances(1, {})});
    cases.push_back({"two items", MakeDistances(2, {7.0f})});
    cases.push_back({"all distances 0 (few)", MakeDistances(5, std::vector<float>(10, 0.0f))});
    cases.push_back({"all distances 0 (many)", MakeDistances(40, std::vector<float>(780, 0.0f))});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int n = c.data.ItemCount;
        const Layout layout = ClassicalLayout(c.data);
        ASSERT_EQ(layout.size(), 2 * static_cast<std::size_t>(n) + 1);
        for (std::size_t k = 1; k < layout.size(); ++k) {
            EXPECT_GE(layout[k], 5.0f);
            EXPECT_LE(layout[k], 995.0f);
        }
    }
    EXPECT_NEAR(LayoutFitness(cases[1].data, ClassicalLayout(cases[1].data)), 1.0, 1e-12);
    EXPECT_THROW(ClassicalLayout(DistanceData{}), TessarinError);
}

TEST(ClassicalScaling, TakesTheLargestAlgebraicEigenvalues)
{
    // City-block distances are not those of any plane: B has negative
    // eigenvalues, some larger in size than the third positive one.
    const int n = 60;
    const std::vector<double> points = ClusteredPoints(n, 2, 3, 21);
    std::vector<float> upper;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            upper.push_back(static_cast<float>(std::fabs(points[i * 2] - points[j * 2]) +
                                               std::fabs(points[i * 2 + 1] - points[j * 2 + 1])));
    DistanceData data = MakeDistances(n, upper);
    data.packPairs();
    const SymmetricEigen dense = JacobiEigen(DenseB(data), n);
    ASSERT_GT(dense.values[2], 0.0);
    ASSERT_GT(-dense.values[n - 1], dense.values[2]) << "the table should have a large negative eigenvalue";
    const std::vector<double> coords = ClassicalCoordinates(data, 3);
    for (int k = 0; k < 3; ++k) {
        double squares = 0.0;
        for (int i = 0; i < n; ++i)
            squares += coords[i * 3 + k] * coords[i * 3 + k];
        EXPECT_NEAR(squares, dense.values[k], 1e-6 * dense.values[0]) << "dimension " << k;
    }
}

TEST(StoredLayout, PrincipalAxesSpanAndInvariance)
{
    const int n = 30;
    const std::vector<double> points = ClusteredPoints(n, 2, 3, 5);
    const DistanceData data = PointDistances(points, 2, 0.2);
    struct Transform {
        const char *name;
        double scale, cosine, sine, dx, dy;
    };
    const Transform transforms[] = {
        {"as it is", 1, 1, 0, 0, 0},
        {"moved", 1, 1, 0, 1e4, -37.5},
        {"scaled down", 1e-3, 1, 0, 0, 0},
        {"turned 3-4-5", 1, 0.6, 0.8, 0, 0},
        {"turned, scaled, moved", 250, -0.28, 0.96, -3, 8},
    };
    const Layout reference = StoredLayout(points, n);
    const double referenceFit = LayoutFitness(data, reference);
    for (const Transform &t : transforms) {
        SCOPED_TRACE(t.name);
        std::vector<double> moved(points.size());
        for (int i = 0; i < n; ++i) {
            const double x = points[i * 2], y = points[i * 2 + 1];
            moved[i * 2] = t.scale * (t.cosine * x - t.sine * y) + t.dx;
            moved[i * 2 + 1] = t.scale * (t.sine * x + t.cosine * y) + t.dy;
        }
        const Layout layout = StoredLayout(moved, n);
        EXPECT_NEAR(LayoutFitness(data, layout), referenceFit, 1e-9);
        float low = 1e9f, high = -1e9f, otherLow = 1e9f, otherHigh = -1e9f;
        for (int i = 1; i <= n; ++i) {
            low = std::min(low, layout[i]);
            high = std::max(high, layout[i]);
            otherLow = std::min(otherLow, layout[n + i]);
            otherHigh = std::max(otherHigh, layout[n + i]);
        }
        EXPECT_NEAR(low, 5.0f, 1e-3);
        EXPECT_NEAR(high, 995.0f, 1e-3);
        EXPECT_NEAR(0.5f * (otherLow + otherHigh), 500.0f, 1e-3);
    }
}

} // namespace
} // namespace tessarin
