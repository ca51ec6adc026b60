#include "explorer/label_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace tessarin {
namespace {

// Markers at random spots, or in a few tight clusters, and a label for each
// of the width a name of 3 to 14 characters takes.
struct Scene {
    std::vector<ScreenPoint> markers;
    std::vector<LabelRequest> labels;
};

Scene MakeScene(int n, int clusters, double width, double height, unsigned seed)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> x(0, width), y(0, height), length(3, 14);
    std::normal_distribution<double> spread(0, std::min(width, height) / 30);
    std::vector<ScreenPoint> centres;
    for (int c = 0; c < clusters; ++c)
        centres.push_back({x(engine), y(engine)});
    Scene scene;
    for (int k = 0; k < n; ++k) {
        ScreenPoint p{x(engine), y(engine)};
        if (clusters > 0) {
            const ScreenPoint &c = centres[static_cast<std::size_t>(k % clusters)];
            p = {std::clamp(c.x + spread(engine), 0.0, width), std::clamp(c.y + spread(engine), 0.0, height)};
        }
        scene.markers.push_back(p);
        scene.labels.push_back({p, 7 * std::floor(length(engine)), 14});
    }
    return scene;
}

TEST(LabelPlacement, PlacedLabelsNeitherOverlapNorLeaveThePicture)
{
    struct Row {
        const char *name;
        int n;
        int clusters;
        double width, height;
    };
    const Row rows[] = {
        {"few, random", 30, 0, 900, 700},    {"random", 500, 0, 900, 700},   {"dense random", 2000, 0, 900, 700},
        {"clustered", 2000, 5, 900, 700},     {"one cluster", 400, 1, 600, 400}, {"narrow picture", 300, 0, 120, 900},
        {"tiny picture", 50, 0, 40, 30},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Scene scene = MakeScene(row.n, row.clusters, row.width, row.height, 7u + static_cast<unsigned>(row.n));
        PlacementOptions options;
        options.pictureWidth = row.width;
        options.pictureHeight = row.height;
        options.markerRadius = 3;
        const std::vector<PlacedLabel> placed = PlaceLabels(scene.labels, scene.markers, options);
        ASSERT_EQ(placed.size(), scene.labels.size());
        std::vector<std::size_t> shown;
        for (std::size_t k = 0; k < placed.size(); ++k) {
            if (!placed[k].placed)
                continue;
            shown.push_back(k);
            const ScreenRect &box = placed[k].box;
            EXPECT_TRUE(box.inside(row.width, row.height)) << "label " << k;
            EXPECT_DOUBLE_EQ(box.width, scene.labels[k].width);
            // No marker under a label, its own included.
            for (const ScreenPoint &m : scene.markers)
                EXPECT_FALSE(box.overlaps({m.x - 3, m.y - 3, 6, 6})) << "label " << k;
            // A leader line stays short: at most the marker, the gap and two
            // label heights, along either axis (a diagonal place is that far
            // along both).
            const ScreenPoint a = scene.labels[k].anchor;
            const double far = std::hypot(std::clamp(a.x, box.left, box.right()) - a.x,
                                          std::clamp(a.y, box.top, box.bottom()) - a.y);
            EXPECT_LE(far, (3 + 2 + 2 * 14) * std::sqrt(2.0) + 1e-9) << "label " << k;
            EXPECT_EQ(placed[k].leader, far > (3 + 2) * std::sqrt(2.0) + 1e-9) << "label " << k;
        }
        for (std::size_t a = 0; a < shown.size(); ++a)
            for (std::size_t b = a + 1; b < shown.size(); ++b)
                ASSERT_FALSE(placed[shown[a]].box.overlaps(placed[shown[b]].box))
                    << "labels " << shown[a] << " and " << shown[b];
        if (std::string(row.name) == "few, random") {
            EXPECT_EQ(shown.size(), placed.size()) << "a sparse map labels every item";
        }
        if (std::string(row.name) == "random") {
            EXPECT_GT(shown.size(), placed.size() / 2);
        }
    }
}

TEST(LabelPlacement, TakesTheFirstFreePlaceInItsOrder)
{
    struct Row {
        const char *name;
        ScreenPoint marker;
        std::vector<ScreenRect> blocked;
        bool placed;
        double left, top;
        bool leader;
    };
    // A 40 x 10 label at (100, 100), marker radius 3, gap 2: right is at
    // x = 105, left at 55, above at y = 85, below at 105.
    const Row rows[] = {
        {"right when free", {100, 100}, {}, true, 105, 95, false},
        {"left at the right edge", {180, 100}, {}, true, 135, 95, false},
        {"above right when both sides are blocked", {100, 100}, {{105, 96, 50, 14}, {0, 96, 96, 14}}, true, 105, 85, false},
        {"left when the right side is blocked", {100, 100}, {{104, 0, 100, 200}}, true, 55, 95, false},
        {"above at a narrow picture", {20, 100}, {}, true, 0, 85, false},
        {"further out with a leader", {100, 100}, {{90, 84, 20, 32}}, true, 115, 95, true},
        {"nowhere in a picture too small", {10, 5}, {}, false, 0, 0, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        PlacementOptions options;
        options.pictureWidth = std::string(row.name) == "above at a narrow picture" ? 40 : 200;
        options.pictureHeight = std::string(row.name) == "nowhere in a picture too small" ? 8 : 200;
        options.markerRadius = 3;
        options.gap = 2;
        options.leaderSteps = 1;
        options.blocked = row.blocked;
        const auto placed = PlaceLabels({{row.marker, 40, 10}}, {row.marker}, options);
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_EQ(placed[0].placed, row.placed);
        if (!row.placed)
            continue;
        EXPECT_DOUBLE_EQ(placed[0].box.left, row.left);
        EXPECT_DOUBLE_EQ(placed[0].box.top, row.top);
        EXPECT_EQ(placed[0].leader, row.leader);
    }
}

TEST(LabelPlacement, EarlierLabelsHaveTheFirstChoice)
{
    // Two markers one above the other, 8 pixels apart: both want the place
    // at their right, which overlap; the first label given takes it and the
    // other goes to the left.
    const ScreenPoint upper{100, 100}, lower{100, 108};
    PlacementOptions options;
    options.pictureWidth = options.pictureHeight = 300;
    for (bool upperFirst : {true, false}) {
        SCOPED_TRACE(upperFirst);
        const ScreenPoint first = upperFirst ? upper : lower, second = upperFirst ? lower : upper;
        const auto placed = PlaceLabels({{first, 40, 10}, {second, 40, 10}}, {upper, lower}, options);
        ASSERT_TRUE(placed[0].placed && placed[1].placed);
        EXPECT_DOUBLE_EQ(placed[0].box.left, 105);
        EXPECT_DOUBLE_EQ(placed[0].box.top, first.y - 5);
        EXPECT_DOUBLE_EQ(placed[1].box.left, 55);
        EXPECT_DOUBLE_EQ(placed[1].box.top, second.y - 5);
    }
}

} // namespace
} // namespace tessarin
