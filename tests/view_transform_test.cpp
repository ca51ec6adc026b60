#include "explorer/view_transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessarin {
namespace {

// The picture's distance between two map points over their map distance:
// one number for every direction when the map is not stretched.
double ScaleAlong(const ViewTransform &view, double x1, double y1, double x2, double y2)
{
    const ScreenPoint a = view.toScreen(x1, y1), b = view.toScreen(x2, y2);
    return std::hypot(b.x - a.x, b.y - a.y) / std::hypot(x2 - x1, y2 - y1);
}

TEST(ViewTransform, FitShowsEveryPointAtOneScale)
{
    struct Row {
        const char *name;
        MapBounds bounds;
        double width, height;
    };
    const Row rows[] = {{"square map, wide picture", {0, 0, 1000, 1000}, 1400, 1000},
                        {"wide map, tall picture", {-20, 300, 980, 500}, 400, 900},
                        {"tall map, square picture", {100, -400, 150, 600}, 700, 700},
                        {"flat map", {0, 10, 500, 10}, 800, 600}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ViewTransform view;
        view.setViewport(row.width, row.height);
        view.fit(row.bounds, 20);
        for (double x : {row.bounds.left, row.bounds.right})
            for (double y : {row.bounds.top, row.bounds.bottom}) {
                const ScreenPoint p = view.toScreen(x, y);
                EXPECT_GE(p.x, 20 - 1e-9);
                EXPECT_LE(p.x, row.width - 20 + 1e-9);
                EXPECT_GE(p.y, 20 - 1e-9);
                EXPECT_LE(p.y, row.height - 20 + 1e-9);
            }
        // The bounds touch the margin on at least one axis: the largest scale.
        const ScreenPoint tl = view.toScreen(row.bounds.left, row.bounds.top);
        const ScreenPoint br = view.toScreen(row.bounds.right, row.bounds.bottom);
        EXPECT_TRUE(std::abs(br.x - tl.x - (row.width - 40)) < 1e-6 || std::abs(br.y - tl.y - (row.height - 40)) < 1e-6);
        EXPECT_NEAR(ScaleAlong(view, 0, 0, 1, 0), ScaleAlong(view, 0, 0, 0, 1), 1e-12);
    }
}

TEST(ViewTransform, ZoomAndPanKeepTheAspectRatio)
{
    // A recorded sequence of wheel steps, drags and resizes; after each the
    // scale is the same in x, y and along a diagonal.
    ViewTransform view;
    view.setViewport(900, 600);
    view.fit({0, 0, 1000, 1000}, 24);
    struct Step {
        const char *name;
        double x, y, factor, dx, dy, width, height;
    };
    const Step steps[] = {{"wheel in at a corner", 10, 20, 1.25, 0, 0, 900, 600},
                          {"wheel in thrice", 450, 300, 1.953125, 0, 0, 900, 600},
                          {"drag", 0, 0, 1, -130, 45, 900, 600},
                          {"resize to 1400 x 1000", 0, 0, 1, 0, 0, 1400, 1000},
                          {"wheel out", 1300, 900, 0.512, 0, 0, 1400, 1000},
                          {"drag far", 0, 0, 1, 5000, -3000, 1400, 1000},
                          {"squeezed", 0, 0, 1, 0, 0, 200, 1000}};
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        const ScreenPoint anchor = view.toMap(step.x, step.y);
        view.setViewport(step.width, step.height);
        if (step.factor != 1) {
            const ScreenPoint before = view.toMap(step.x, step.y);
            view.zoomAt(step.x, step.y, step.factor);
            const ScreenPoint after = view.toMap(step.x, step.y);
            // The point under the pointer stays under it.
            EXPECT_NEAR(after.x, before.x, 1e-9 * std::max(1.0, std::abs(before.x)));
            EXPECT_NEAR(after.y, before.y, 1e-9 * std::max(1.0, std::abs(before.y)));
        }
        if (step.dx != 0 || step.dy != 0) {
            const ScreenPoint before = view.toScreen(anchor.x, anchor.y);
            view.panBy(step.dx, step.dy);
            const ScreenPoint after = view.toScreen(anchor.x, anchor.y);
            EXPECT_NEAR(after.x - before.x, step.dx, 1e-6);
            EXPECT_NEAR(after.y - before.y, step.dy, 1e-6);
        }
        const double sx = ScaleAlong(view, 0, 0, 1, 0);
        EXPECT_NEAR(ScaleAlong(view, 0, 0, 0, 1) / sx, 1.0, 1e-12);
        EXPECT_NEAR(ScaleAlong(view, 100, 200, 400, 700) / sx, 1.0, 1e-12);
        const MapBounds shown = view.visibleMap();
        EXPECT_NEAR(shown.width() / shown.height(), step.width / step.height, 1e-9);
    }
}

TEST(ViewTransform, ZoomStopsAtItsLimitsAndIgnoresNonsense)
{
    ViewTransform view;
    view.setViewport(100, 100);
    for (int k = 0; k < 200; ++k)
        view.zoomAt(50, 50, 10);
    EXPECT_EQ(view.scale(), ViewTransform::MaximumScale);
    for (double factor : {0.0, -2.0, std::nan("")}) {
        view.zoomAt(50, 50, factor);
        EXPECT_EQ(view.scale(), ViewTransform::MaximumScale);
    }
    for (int k = 0; k < 200; ++k)
        view.zoomAt(50, 50, 0.1);
    EXPECT_EQ(view.scale(), ViewTransform::MinimumScale);
}

} // namespace
} // namespace tessarin
