// The explorer's geometry: the spatial index, the level of detail, the turns
// of a map, the nearest items in the table and the groups' shapes.
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "diagnostics/map_stress.h"
#include "explorer/detail_thinning.h"
#include "explorer/group_shapes.h"
#include "explorer/map_orientation.h"
#include "explorer/spatial_index.h"
#include "explorer/table_neighbours.h"
#include "distance_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace tessarin {
namespace {

std::vector<double> RandomValues(int n, double low, double high, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> uniform(low, high);
    std::vector<double> values(static_cast<std::size_t>(n));
    for (double &v : values)
        v = uniform(engine);
    return values;
}

TEST(SpatialIndex, FindsWhatAPassOverEveryItemFinds)
{
    struct Row {
        const char *name;
        int n;
        double spread;
    };
    const Row rows[] = {{"one item", 1, 100}, {"random", 3000, 1000}, {"all on one spot", 50, 0}, {"a line", 400, 0}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<double> xs = RandomValues(row.n, 0, row.spread, 1);
        std::vector<double> ys = std::string(row.name) == "a line" ? std::vector<double>(xs.size(), 5.0)
                                                                    : RandomValues(row.n, 0, row.spread, 2);
        const SpatialIndex index(xs, ys);
        const MapBounds areas[] = {{100, 100, 400, 300}, {-10, -10, 2000, 2000}, {0, 0, 0, 0}, {500, 4, 501, 6},
                                   {600, 600, 500, 700}};
        for (const MapBounds &area : areas) {
            std::vector<int> expected;
            for (int k = 0; k < row.n; ++k)
                if (area.contains(xs[static_cast<std::size_t>(k)], ys[static_cast<std::size_t>(k)]))
                    expected.push_back(k);
            EXPECT_EQ(index.itemsIn(area), expected);
        }
        for (const auto &probe : {std::pair{250.0, 250.0}, std::pair{0.0, 0.0}, std::pair{999.0, 5.0}}) {
            int expected = -1;
            double best = 30 * 30;
            for (int k = 0; k < row.n; ++k) {
                const double dx = xs[static_cast<std::size_t>(k)] - probe.first;
                const double dy = ys[static_cast<std::size_t>(k)] - probe.second;
                if (dx * dx + dy * dy < best || (expected < 0 && dx * dx + dy * dy <= best)) {
                    best = dx * dx + dy * dy;
                    expected = k;
                }
            }
            EXPECT_EQ(index.nearest(probe.first, probe.second, 30), expected);
        }
    }
}

TEST(DetailThinning, KeepsOneMarkerACellInsideThePicture)
{
    const std::vector<ScreenPoint> points = {{1, 1}, {2, 2}, {5, 1}, {1, 5}, {-1, 3}, {3, 101}, {99.5, 99.5}, {7.9, 7.9}};
    EXPECT_EQ(ThinToCells(points, 100, 100, 4), (std::vector<int>{0, 2, 3, 6, 7}));
    EXPECT_EQ(ThinToCells(points, 100, 100, 1), (std::vector<int>{0, 1, 2, 3, 6, 7}));
    EXPECT_TRUE(ThinToCells(points, 0, 100, 4).empty());
    // 16383 markers on a 900 x 600 picture at 3.5-pixel cells: at most one a cell.
    std::vector<ScreenPoint> many;
    const auto xs = RandomValues(16383, 0, 900, 3), ys = RandomValues(16383, 0, 600, 4);
    for (std::size_t k = 0; k < xs.size(); ++k)
        many.push_back({xs[k], ys[k]});
    const auto kept = ThinToCells(many, 900, 600, 3.5);
    EXPECT_LE(kept.size(), static_cast<std::size_t>(258 * 172));
    EXPECT_GT(kept.size(), 10000u);
}

TEST(MapOrientation, TurnsKeepTheFitAndStress)
{
    const int n = 40;
    const DistanceData data = testing::RandomDistances(n, 99);
    Layout map(2 * n + 1, 0.0f);
    std::mt19937 engine(5);
    std::uniform_real_distribution<float> uniform(0.0f, 1000.0f);
    for (int p = 1; p <= 2 * n; ++p)
        map[static_cast<std::size_t>(p)] = uniform(engine);
    const double fit = LayoutFitness(data, map);
    const double stress = MeasureStress(data, map).stress1;
    struct Row {
        const char *name;
        std::vector<MapTurn> turns;
        bool identity;
    };
    const Row rows[] = {
        {"a quarter turn", {MapTurn::RotateClockwise}, false},
        {"mirrored left to right", {MapTurn::ReflectHorizontally}, false},
        {"mirrored top to bottom", {MapTurn::ReflectVertically}, false},
        {"four quarter turns", {MapTurn::RotateClockwise, MapTurn::RotateClockwise, MapTurn::RotateClockwise,
                                MapTurn::RotateClockwise},
         true},
        {"both mirrors and a half turn", {MapTurn::ReflectHorizontally, MapTurn::ReflectVertically,
                                          MapTurn::RotateClockwise, MapTurn::RotateClockwise},
         true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Layout turned = map;
        for (MapTurn turn : row.turns)
            TurnMap(turned, n, turn);
        for (int p = 1; p <= 2 * n; ++p) {
            EXPECT_GE(turned[static_cast<std::size_t>(p)], 0.0f);
            EXPECT_LE(turned[static_cast<std::size_t>(p)], 1000.0f);
        }
        // Single-precision coordinates round at about 6e-5 near 1000, which
        // moves the fit by about 1e-9.
        EXPECT_NEAR(LayoutFitness(data, turned), fit, 1e-8);
        EXPECT_NEAR(MeasureStress(data, turned).stress1, stress, 1e-7);
        if (row.identity) {
            for (int p = 1; p <= 2 * n; ++p)
                EXPECT_NEAR(turned[static_cast<std::size_t>(p)], map[static_cast<std::size_t>(p)], 1e-3);
        }
    }
    // Clockwise as shown (y downwards): the top-right corner goes to the bottom right.
    Layout corner = {0, 900, 100};
    TurnMap(corner, 1, MapTurn::RotateClockwise);
    EXPECT_EQ(corner, (Layout{0, 900, 900}));
    Layout tooShort(3, 0.0f);
    EXPECT_THROW(TurnMap(tooShort, 2, MapTurn::ReflectVertically), TessarinError);
}

TEST(TableNeighbours, NearestByGivenDistanceWithTheirMapDistances)
{
    // Five items; item 1's distances 4, 2, 2, 9 to items 2..5.
    const DistanceData data = testing::MakeDistances(5, {4, 2, 2, 9, 1, 1, 1, 1, 1, 1});
    const Layout map = {0, 0, 3, 0, 0, 6, 0, 4, 0, 5, 8};
    struct Row {
        int item, count;
        std::vector<int> items;
    };
    const Row rows[] = {{1, 5, {3, 4, 2, 5}}, {1, 2, {3, 4}}, {1, 0, {}}, {5, 2, {2, 3}}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.item * 10 + row.count);
        const auto nearest = NearestInTable(data, map, row.item, row.count);
        std::vector<int> items;
        for (const TableNeighbour &neighbour : nearest)
            items.push_back(neighbour.item);
        EXPECT_EQ(items, row.items);
    }
    const auto first = NearestInTable(data, map, 1, 5);
    // Item 1 at (0, 0); items 2..5 at (3, 4), (0, 0), (0, 5), (6, 8).
    const double given[] = {2, 2, 4, 9}, mapped[] = {0, 5, 5, 10};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(first[k].given, given[k]);
        EXPECT_DOUBLE_EQ(first[k].map, mapped[k]);
    }
    EXPECT_THROW(NearestInTable(data, map, 6, 5), TessarinError);
    EXPECT_THROW(NearestInTable(data, map, 0, 5), TessarinError);
    EXPECT_THROW(NearestInTable(data, Layout(5, 0.0f), 1, 5), TessarinError);
}

TEST(GroupShapes, HullAndEllipse)
{
    const std::vector<ScreenPoint> square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}, {1, 0}, {2, 2}};
    const auto hull = ConvexHull(square);
    ASSERT_EQ(hull.size(), 4u);
    for (const ScreenPoint &corner : {ScreenPoint{0, 0}, ScreenPoint{2, 0}, ScreenPoint{2, 2}, ScreenPoint{0, 2}})
        EXPECT_TRUE(std::any_of(hull.begin(), hull.end(),
                                [&](const ScreenPoint &p) { return p.x == corner.x && p.y == corner.y; }));
    EXPECT_EQ(ConvexHull({{1, 1}, {1, 1}}).size(), 1u);

    // A large sample of a normal spread along x twice as wide as along y:
    // about 68 % of it inside the ellipse, its long axis along x.
    std::mt19937 engine(11);
    std::normal_distribution<double> normal(0, 1);
    std::vector<ScreenPoint> sample;
    for (int k = 0; k < 20000; ++k)
        sample.push_back({10 + 2 * normal(engine), 20 + normal(engine)});
    const SpreadEllipse e = SpreadEllipseOf(sample);
    ASSERT_TRUE(e.valid);
    EXPECT_NEAR(e.centre.x, 10, 0.05);
    EXPECT_NEAR(e.major / e.minor, 2, 0.05);
    EXPECT_NEAR(std::sin(e.angle), 0, 0.05);
    int inside = 0;
    for (const ScreenPoint &p : sample) {
        const double dx = p.x - e.centre.x, dy = p.y - e.centre.y;
        const double u = dx * std::cos(e.angle) + dy * std::sin(e.angle);
        const double v = -dx * std::sin(e.angle) + dy * std::cos(e.angle);
        inside += (u * u) / (e.major * e.major) + (v * v) / (e.minor * e.minor) <= 1;
    }
    EXPECT_NEAR(inside / 20000.0, 0.68, 0.01);
    EXPECT_FALSE(SpreadEllipseOf({{0, 0}, {1, 1}}).valid);
}

} // namespace
} // namespace tessarin
