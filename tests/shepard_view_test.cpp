#include "diagnostics/map_stress.h"
#include "display/shepard_view.h"
#include "display/stress_rings.h"
#include "distance_fixture.h"
#include "recording_surface.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RecordingSurface;

/// The numbers after the name of a recorded call.
std::vector<double> Arguments(const std::string &call)
{
    std::istringstream in(call);
    std::string name;
    in >> name;
    std::vector<double> values;
    for (double v; in >> v;)
        values.push_back(v);
    return values;
}

struct Picture {
    StressFigures figures;
    RecordingSurface surface;
};

/// Ten items on a line, given distances a little off the map's.
StressFigures TenItems(std::size_t pointLimit)
{
    const int n = 10;
    Layout map(2 * n + 1, 0.0f);
    std::vector<float> given;
    for (int i = 1; i <= n; ++i)
        map[i] = static_cast<float>(100 * i);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            given.push_back(static_cast<float>(j - i) + ((i + j) % 3) * 0.25f);
    StressSettings settings;
    settings.pointLimit = pointLimit;
    settings.gridColumns = 12;
    settings.gridRows = 9;
    return MeasureStress(MakeDistances(n, given), map, settings);
}

TEST(ShepardView, DotsBelowTheLimitBinsAboveEachInsideTheFrame)
{
    for (const bool points : {true, false}) {
        SCOPED_TRACE(points ? "points" : "bins");
        const StressFigures figures = TenItems(points ? 1000 : 10);
        RecordingSurface surface;
        DrawShepard(surface, figures, "ten.txt");
        EXPECT_EQ(surface.calls.front(), "scale 0 0 1000 750");

        // The frame is the one black outline of the plot area.
        const auto frame = surface.only("stroke 120 95 970 640 0");
        ASSERT_EQ(frame.size(), 1u);
        auto inside = [](double x, double y) { return x >= 120 && x <= 970 && y >= 95 && y <= 640; };
        const auto dots = surface.only("dot");
        const auto fills = surface.only("fill");
        if (points) {
            EXPECT_EQ(dots.size(), figures.pairCount);
            EXPECT_TRUE(fills.empty());
        } else {
            EXPECT_TRUE(dots.empty());
            std::size_t filled = 0;
            for (int r = 0; r < figures.grid.rows(); ++r)
                for (int c = 0; c < figures.grid.columns(); ++c)
                    filled += figures.grid.count(c, r) > 0;
            EXPECT_EQ(fills.size(), filled);
        }
        for (const auto &call : dots) {
            const auto v = Arguments(call);
            EXPECT_TRUE(inside(v[0], v[1])) << call;
        }
        for (const auto &call : fills) {
            const auto v = Arguments(call);
            EXPECT_TRUE(inside(v[0], v[1]) && inside(v[2], v[3])) << call;
        }
        // The line of the fit, in red, clipped to the frame.
        const auto lines = surface.only("line");
        ASSERT_EQ(lines.size(), 1u);
        const auto v = Arguments(lines[0]);
        EXPECT_EQ(v[4], 12);
        EXPECT_TRUE(inside(v[0], v[1]) && inside(v[2], v[3])) << lines[0];
    }
}

TEST(ShepardView, TitleTicksAndAxisNames)
{
    const StressFigures figures = TenItems(1000);
    RecordingSurface surface;
    DrawShepard(surface, figures, "ten.txt");
    std::string printed;
    for (const auto &call : surface.only("print"))
        printed += call.substr(call.find('[')) + "\n";
    EXPECT_NE(printed.find("[Shepard diagram of ten.txt:  stress-1 " + SignificantText(figures.stress1, 4)),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("[given distance]"), std::string::npos);
    EXPECT_NE(printed.find("[map distance]"), std::string::npos);
    // Given distances reach 9.5: ticks 0, 2, ..., 10 across.
    for (const char *tick : {"[0]", "[2]", "[10]"})
        EXPECT_NE(printed.find(tick), std::string::npos) << tick;
}

TEST(ShepardView, NoPairsGivesAnEmptyFrameWithANote)
{
    const StressFigures figures = MeasureStress(MakeDistances(1, {}), Layout(3, 0.0f));
    RecordingSurface surface;
    DrawShepard(surface, figures, "");
    EXPECT_TRUE(surface.only("dot").empty());
    EXPECT_TRUE(surface.only("line").empty());
    EXPECT_EQ(surface.only("print").back().find("[no pairs to show]") != std::string::npos, true);
}

TEST(StressRings, AreaInProportionToTheShareNoneForZero)
{
    const Layout map = {0, 10, 20, 30, 40, 50, 60};
    RecordingSurface graph;
    DrawStressRings(graph, map.data(), 3, {0, 25, 100});
    EXPECT_EQ(graph.calls, (std::vector<std::string>{"circle 20 50 30 8", "circle 30 60 60 8"}));

    RecordingSurface none;
    DrawStressRings(none, map.data(), 3, {0, 0, 0});
    EXPECT_TRUE(none.calls.empty());
}

} // namespace
} // namespace tessarin
