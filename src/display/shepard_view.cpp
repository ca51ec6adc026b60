#include "display/shepard_view.h"

#include "display/axis_ticks.h"
#include "base/str_n.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessarin {

namespace {

constexpr int Black = 0;
constexpr int White = 15;
constexpr int LineColour = 12;  // light red
constexpr int PointColour = 1;  // blue
// Density shades from the fewest pairs to the most.
constexpr int Shades[] = {7, 8, 9, 1};
constexpr double DotPixels = 3;
constexpr double TickLength = 8;

// The plot box in the picture's units.
struct Box {
    double left = 120, right = 970, top = 95, bottom = 640;
};

struct Axes {
    Box box;
    AxisTicks x, y;
    double px(double given) const { return box.left + (given - x.low) / (x.high - x.low) * (box.right - box.left); }
    double py(double map) const { return box.bottom - (map - y.low) / (y.high - y.low) * (box.bottom - box.top); }
};

void printAt(DrawingSurface &surface, double x, double y, const std::string &text)
{
    surface.setCurrentX(static_cast<float>(x));
    surface.setCurrentY(static_cast<float>(y));
    surface.print(text, false);
}

void drawAxes(DrawingSurface &surface, const Axes &axes)
{
    const Box &box = axes.box;
    const double th = surface.textHeight();
    surface.setForeColor(Black);
    for (const double v : axes.x.values()) {
        const double x = axes.px(v);
        surface.stroke(x, box.bottom, x, box.bottom + TickLength, Black);
        const std::string text = axes.x.label(v);
        printAt(surface, x - surface.textWidth(text) / 2, box.bottom + TickLength + 2, text);
    }
    for (const double v : axes.y.values()) {
        const double y = axes.py(v);
        surface.stroke(box.left - TickLength, y, box.left, y, Black);
        const std::string text = axes.y.label(v);
        printAt(surface, box.left - TickLength - 4 - surface.textWidth(text), y - th / 2, text);
    }
    const std::string across = "given distance";
    printAt(surface, (box.left + box.right - surface.textWidth(across)) / 2, box.bottom + TickLength + 4 + th,
            across);
    printAt(surface, box.left - TickLength - 4 - surface.textWidth("0"), box.top - th - 6, "map distance");
}

void drawDensity(DrawingSurface &surface, const Axes &axes, const ShepardGrid &grid)
{
    const std::uint32_t most = grid.largestCount();
    if (most == 0)
        return;
    const double w = (grid.givenHigh() - grid.givenLow()) / grid.columns();
    const double h = (grid.mapHigh() - grid.mapLow()) / grid.rows();
    const Box &box = axes.box;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.columns(); ++c) {
            const std::uint32_t count = grid.count(c, r);
            if (count == 0)
                continue;
            // Shades by the logarithm of the count: a bin of one pair is as
            // visible as the densest, only lighter.
            const double t = most > 1 ? std::log(double(count)) / std::log(double(most)) : 1.0;
            const int shade = Shades[std::min(3, static_cast<int>(t * 4))];
            const double x1 = std::clamp(axes.px(grid.givenLow() + c * w), box.left, box.right);
            const double x2 = std::clamp(axes.px(grid.givenLow() + (c + 1) * w), box.left, box.right);
            const double y1 = std::clamp(axes.py(grid.mapLow() + (r + 1) * h), box.top, box.bottom);
            const double y2 = std::clamp(axes.py(grid.mapLow() + r * h), box.top, box.bottom);
            surface.fillRect(x1, y1, x2, y2, shade);
        }
    }
}

void drawLine(DrawingSurface &surface, const Axes &axes, double slope, double intercept)
{
    // The part of m = slope g + intercept inside the plot box.
    double from = axes.x.low, to = axes.x.high;
    if (slope != 0) {
        const double g1 = (axes.y.low - intercept) / slope;
        const double g2 = (axes.y.high - intercept) / slope;
        from = std::max(from, std::min(g1, g2));
        to = std::min(to, std::max(g1, g2));
    } else if (intercept < axes.y.low || intercept > axes.y.high) {
        return;
    }
    if (!(to > from))
        return;
    surface.line(axes.px(from), axes.py(slope * from + intercept), axes.px(to), axes.py(slope * to + intercept),
                 LineColour);
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

void DrawShepard(DrawingSurface &surface, const StressFigures &figures, const std::string &subject)
{
    surface.setScale(0, 0, ShepardWidth, ShepardHeight);
    surface.setBackColor(White);
    surface.clear();
    surface.setFontName("Arial");
    surface.setFontSize(9);
    surface.setForeColor(Black);

    Axes axes;
    axes.x = RoundTicks(std::min(0.0, figures.givenLow), figures.givenHigh);
    axes.y = RoundTicks(0.0, figures.mapHigh);
    const double th = surface.textHeight();

    std::string title = "Shepard diagram";
    if (!subject.empty())
        title += " of " + subject;
    title += ":  stress-1 " + SignificantText(figures.stress1, 4) + ",  fit " + trimmed(strN(6, figures.fit * 100)) +
             " %";
    printAt(surface, (ShepardWidth - surface.textWidth(title)) / 2, 8, title);
    surface.setForeColor(LineColour);
    const std::string legend = "line of the fit: map distance = " + SignificantText(figures.lineSlope, 4) +
                               " \u00d7 given distance " + (figures.lineIntercept < 0 ? "\u2212 " : "+ ") +
                               SignificantText(std::abs(figures.lineIntercept), 4);
    printAt(surface, (ShepardWidth - surface.textWidth(legend)) / 2, 8 + th, legend);
    surface.setForeColor(Black);

    if (figures.pairCount == 0) {
        surface.stroke(axes.box.left, axes.box.top, axes.box.right, axes.box.bottom, Black);
        const std::string none = "no pairs to show";
        printAt(surface, (ShepardWidth - surface.textWidth(none)) / 2, (axes.box.top + axes.box.bottom) / 2, none);
        return;
    }
    if (!figures.points.empty()) {
        for (const ShepardPoint &p : figures.points)
            surface.dot(axes.px(p.given), axes.py(p.map), DotPixels, PointColour);
    } else {
        drawDensity(surface, axes, figures.grid);
    }
    drawLine(surface, axes, figures.lineSlope, figures.lineIntercept);
    surface.stroke(axes.box.left, axes.box.top, axes.box.right, axes.box.bottom, Black);
    drawAxes(surface, axes);
}

} // namespace tessarin
