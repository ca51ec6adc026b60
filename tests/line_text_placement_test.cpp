#include "explorer/line_text_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

namespace tessarin {
namespace {

constexpr double Gap = 2;
constexpr double Radius = 3;
constexpr int Steps = 3;

// The signed distances of a box's corners from the line through the text's
// ends: all of one sign when the box lies on one side.
std::vector<double> CornerDistances(const LineText &text, const ScreenRect &box)
{
    const double dx = text.to.x - text.from.x, dy = text.to.y - text.from.y;
    const double length = std::hypot(dx, dy);
    std::vector<double> out;
    for (double x : {box.left, box.right()})
        for (double y : {box.top, box.bottom()})
            out.push_back(((x - text.from.x) * dy - (y - text.from.y) * dx) / length);
    return out;
}

// A star of `count` lines from `centre`: the k-th at `angle(k)` radians and
// `length(k)` pixels, each with a text of the width a distance pair such as
// "12.34 / 11.9" takes.
std::vector<LineText> Star(ScreenPoint centre, int count, const std::function<double(int)> &angle,
                           const std::function<double(int)> &length)
{
    std::vector<LineText> texts;
    for (int k = 0; k < count; ++k)
        texts.push_back({centre,
                         {centre.x + length(k) * std::cos(angle(k)), centre.y + length(k) * std::sin(angle(k))},
                         70,
                         13});
    return texts;
}

TEST(LineTextPlacement, PlacedTextsNeitherOverlapNorLeaveThePictureNorCoverTheirLine)
{
    std::mt19937 engine(11);
    std::uniform_real_distribution<double> unit(0, 1);
    struct Row {
        const char *name;
        double width, height;
        std::vector<LineText> texts;
        // How many texts find a place: at least, at most.
        std::size_t least, most;
    };
    const ScreenPoint middle{300, 200};
    const Row rows[] = {
        // The five nearest almost on one ray: their texts at 0.7 of each line
        // would lie on one another.
        {"five almost on one ray", 600, 400,
         Star(middle, 5, [](int k) { return 0.004 * k; }, [](int k) { return 60.0 + 4 * k; }), 5, 99},
        {"five on one ray, the nearest last", 600, 400,
         Star(middle, 5, [](int) { return -2.0; }, [](int k) { return 120.0 - 10 * k; }), 5, 99},
        {"five within a few pixels", 600, 400, Star(middle, 5, [](int k) { return 1.3 * k; }, [](int) { return 4.0; }),
         5, 99},
        {"random stars", 600, 400,
         Star(middle, 12, [&](int) { return 6.3 * unit(engine); }, [&](int) { return 400 * unit(engine); }), 12, 99},
        {"from a corner", 600, 400,
         Star({3, 3}, 5, [](int k) { return 0.3 + 0.25 * k; }, [](int k) { return 120.0 + 10 * k; }), 5, 99},
        // Only the lower side is inside, with room for four rows beside
        // the short lines.
        {"almost one ray from a corner", 600, 400,
         Star({3, 3}, 5, [](int k) { return 0.1 + 0.01 * k; }, [](int k) { return 50.0 + 3 * k; }), 3, 99},
        {"leaving the picture", 600, 400,
         Star({500, 300}, 5, [](int k) { return 0.2 + 0.02 * k; }, [](int k) { return 500.0 + 50 * k; }), 5, 99},
        {"missing the picture", 600, 400,
         Star({700, 300}, 5, [](int k) { return 0.2 + 0.02 * k; }, [](int k) { return 500.0 + 50 * k; }), 0, 0},
        {"a small picture", 160, 90,
         Star({80, 45}, 5, [](int k) { return 0.01 * k; }, [](int k) { return 30.0 + k; }), 2, 99},
        {"a picture smaller than a text", 50, 10, Star({25, 5}, 5, [](int) { return 0.0; }, [](int) { return 20.0; }),
         0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        LineTextOptions options;
        options.pictureWidth = row.width;
        options.pictureHeight = row.height;
        options.gap = Gap;
        options.steps = Steps;
        options.markerRadius = Radius;
        for (const LineText &text : row.texts) {
            options.markers.push_back(text.from);
            options.markers.push_back(text.to);
        }
        const std::vector<PlacedLineText> placed = PlaceLineTexts(row.texts, options);
        ASSERT_EQ(placed.size(), row.texts.size());
        std::size_t count = 0;
        for (std::size_t k = 0; k < placed.size(); ++k) {
            if (!placed[k].placed)
                continue;
            ++count;
            const ScreenRect &box = placed[k].box;
            EXPECT_TRUE(box.inside(row.width, row.height)) << "text " << k;
            EXPECT_DOUBLE_EQ(box.width, row.texts[k].width);
            // Wholly on one side of its line, at least the gap away and at
            // most the steps further; or past the line's end, the marker
            // and the gap away or the steps further, centred on the line
            // carried on. A leader exactly when further.
            const LineText &line = row.texts[k];
            const std::vector<double> corners = CornerDistances(line, box);
            const double low = *std::min_element(corners.begin(), corners.end());
            const double high = *std::max_element(corners.begin(), corners.end());
            const double length = std::hypot(line.to.x - line.from.x, line.to.y - line.from.y);
            double start = 1e300; // the box's nearest reach along the line
            for (double x : {box.left, box.right()})
                for (double y : {box.top, box.bottom()})
                    start = std::min(start, ((x - line.from.x) * (line.to.x - line.from.x) +
                                             (y - line.from.y) * (line.to.y - line.from.y)) /
                                                length);
            const bool beside = low >= Gap - 1e-9 || high <= -Gap + 1e-9;
            const bool past = std::abs(low + high) < 1e-6 && start >= length + Radius + Gap - 1e-9;
            EXPECT_TRUE(beside || past) << "text " << k;
            const double away = beside ? std::min(std::abs(low), std::abs(high)) - Gap : start - length - Radius - Gap;
            EXPECT_LE(away, Steps * line.height + 1e-9) << "text " << k;
            EXPECT_EQ(placed[k].leader, away > 1e-9) << "text " << k;
            // Its point lies on the part of the line in the picture.
            const ScreenPoint p = placed[k].onLine;
            const LineText &t = row.texts[k];
            EXPECT_NEAR((p.x - t.from.x) * (t.to.y - t.from.y) - (p.y - t.from.y) * (t.to.x - t.from.x), 0, 1e-6);
            EXPECT_TRUE(p.x >= -1e-9 && p.x <= row.width + 1e-9 && p.y >= -1e-9 && p.y <= row.height + 1e-9);
        }
        for (std::size_t a = 0; a < placed.size(); ++a)
            for (std::size_t b = a + 1; b < placed.size(); ++b)
                if (placed[a].placed && placed[b].placed) {
                    EXPECT_FALSE(placed[a].box.overlaps(placed[b].box)) << "texts " << a << " and " << b;
                }
        EXPECT_GE(count, row.least);
        EXPECT_LE(count, row.most);
        if (std::string(row.name) == "five almost on one ray") {
            // Where the texts stood before, at 0.7 of each line and a little
            // up and right, two of them at least overlap.
            bool overlap = false;
            for (std::size_t a = 0; a < row.texts.size(); ++a)
                for (std::size_t b = a + 1; b < row.texts.size(); ++b) {
                    auto naive = [&](const LineText &t) {
                        const double x = t.from.x + 0.7 * (t.to.x - t.from.x), y = t.from.y + 0.7 * (t.to.y - t.from.y);
                        return ScreenRect{x + 3, y - 3 - t.height, t.width, t.height};
                    };
                    overlap = overlap || naive(row.texts[a]).overlaps(naive(row.texts[b]));
                }
            EXPECT_TRUE(overlap);
        }
    }
}

TEST(LineTextPlacement, TakesTheFirstFreePlaceInItsOrder)
{
    struct Row {
        const char *name;
        ScreenPoint from, to;
        std::vector<ScreenRect> blocked, avoided;
        bool placed;
        double left, top;
        bool leader;
    };
    // A 40 x 10 text, gap 2, in a picture of 300 x 200 (200 x 100 where the
    // line leaves it); its place by preference at 0.7 of the line, stations
    // half its height apart, the crowded part the first 0.4 of the line;
    // past the end beyond a marker of radius 3.
    const Row rows[] = {
        {"above a level line at 0.7", {100, 100}, {200, 100}, {}, {}, true, 150, 88, false},
        {"the same drawn the other way", {240, 100}, {140, 100}, {}, {}, true, 150, 88, false},
        {"right of an upright line", {100, 100}, {100, 200}, {}, {}, true, 102, 165, false},
        {"below when above is blocked", {100, 100}, {200, 100}, {{0, 0, 300, 99}}, {}, true, 150, 102, false},
        {"along the line, before further out", {100, 100}, {200, 100}, {}, {{166, 0, 134, 200}}, true, 125, 88, false},
        {"past the end before further out", {100, 100}, {200, 100}, {}, {{145, 89, 60, 22}}, true, 205, 95, false},
        {"with a leader on the open part before the crowded", {100, 100}, {200, 100}, {}, {{145, 89, 100, 22}}, true,
         150, 78, true},
        {"in the crowded part when the rest is taken", {100, 100}, {200, 100}, {}, {{137, 0, 163, 200}}, true, 95, 88,
         false},
        {"over what it avoids when the picture is full", {100, 100}, {200, 100}, {}, {{0, 0, 300, 200}}, true, 150, 88,
         false},
        {"further out with a leader", {100, 100}, {200, 100}, {{0, 88, 300, 24}}, {}, true, 150, 78, true},
        {"inside where the line leaves the picture", {150, 50}, {350, 50}, {}, {}, true, 160, 38, false},
        {"nowhere for a line beside the picture", {300, 300}, {400, 400}, {}, {}, false, 0, 0, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        LineTextOptions options;
        const bool small = std::string(row.name) == "inside where the line leaves the picture";
        options.pictureWidth = small ? 200 : 300;
        options.pictureHeight = small ? 100 : 200;
        options.gap = 2;
        options.steps = 1;
        options.blocked = row.blocked;
        options.avoided = row.avoided;
        const auto placed = PlaceLineTexts({{row.from, row.to, 40, 10}}, options);
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_EQ(placed[0].placed, row.placed);
        if (!row.placed)
            continue;
        EXPECT_NEAR(placed[0].box.left, row.left, 1e-9);
        EXPECT_NEAR(placed[0].box.top, row.top, 1e-9);
        EXPECT_EQ(placed[0].leader, row.leader);
    }
}

TEST(LineTextPlacement, KeepsClearOfTheOtherLines)
{
    // A steep line from the same point crosses the place above the level
    // line's 0.7, so the level line's text goes below it.
    LineTextOptions options;
    options.pictureWidth = 300;
    options.pictureHeight = 200;
    const auto placed = PlaceLineTexts({{{100, 100}, {200, 100}, 40, 10}, {{100, 100}, {190, 80}, 40, 10}}, options);
    ASSERT_TRUE(placed[0].placed && placed[1].placed);
    EXPECT_DOUBLE_EQ(placed[0].box.left, 150);
    EXPECT_DOUBLE_EQ(placed[0].box.top, 102);
    EXPECT_FALSE(placed[0].leader);
    EXPECT_FALSE(placed[0].box.overlaps(placed[1].box));
}

} // namespace
} // namespace tessarin
