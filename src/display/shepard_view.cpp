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
constexpr int ModelColour = 2;  // green: a stress model's disparities
// Density shades from the fewest pairs to the most.
constexpr int Shades[] = {7, 8, 9, 1};
constexpr double DotPixels = 3;
constexpr double TickLength = 8;
// Room left free along the picture's edges, and between blocks of text.
constexpr double Edge = 8;
constexpr double Gap = 4;
// The diagram's font; it shrinks only when the texts would not fit otherwise.
constexpr float FontPoints = 9;
constexpr float SmallestFontPoints = 5;

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

// Where the texts around the box go, from the box and the line height.
double yTickLabelRight(const Box &box)
{
    return box.left - TickLength - 4;
}
double xTickLabelTop(const Box &box, double lineHeight)
{
    // Below the lowest upright tick label, which is centred on the box's edge.
    return box.bottom + std::max(TickLength + 2, lineHeight / 2 + 2);
}
double yAxisNameTop(const Box &box, double lineHeight)
{
    // Above the highest upright tick label, which is centred on the box's top.
    return box.top - lineHeight / 2 - 2 - lineHeight;
}

double widestLabel(const DrawingSurface &surface, const AxisTicks &ticks)
{
    double widest = 0;
    for (const double v : ticks.values())
        widest = std::max(widest, surface.textWidth(ticks.label(v)));
    return widest;
}

// Whether the labels of `ticks` spread over `length` units leave a gap
// between each other.
bool labelsApart(const DrawingSurface &surface, const AxisTicks &ticks, double length)
{
    const std::size_t count = ticks.values().size();
    return count < 2 || widestLabel(surface, ticks) + 2 * Gap <= length / static_cast<double>(count - 1);
}

// The plot box as large as the texts around it let it be, within the usual
// box: the title block above, the tick labels and the axis names beside and
// below, all inside the picture.
Box placeBox(const DrawingSurface &surface, const AxisTicks &x, const AxisTicks &y, double titleBottom)
{
    const double th = surface.textHeight();
    Box box;
    const std::vector<double> across = x.values();
    const double firstHalf = surface.textWidth(x.label(across.front())) / 2;
    const double lastHalf = surface.textWidth(x.label(across.back())) / 2;
    box.left = std::max({box.left, Edge + widestLabel(surface, y) + TickLength + 4, Edge + firstHalf});
    box.right = std::min(box.right, ShepardWidth - Edge - lastHalf);
    box.top = std::max(box.top, titleBottom + Gap + th + 2 + th / 2);
    box.bottom = std::min(box.bottom, ShepardHeight - Edge - th - 2 - th - std::max(TickLength + 2, th / 2 + 2));
    return box;
}

// Code points of UTF-8 text: the bytes that do not continue one.
std::size_t codePointCount(const std::string &text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}
// Where code point `index` starts; the text's end past its last.
std::size_t byteOfCodePoint(const std::string &text, std::size_t index)
{
    std::size_t seen = 0;
    for (std::size_t b = 0; b < text.size(); ++b) {
        if ((static_cast<unsigned char>(text[b]) & 0xC0) == 0x80)
            continue;
        if (seen++ == index)
            return b;
    }
    return text.size();
}

} // namespace

std::string ElidedText(const DrawingSurface &surface, const std::string &text, double width)
{
    if (surface.textWidth(text) <= width)
        return text;
    const std::size_t points = codePointCount(text);
    auto shortened = [&](std::size_t kept) {
        const std::size_t head = (kept + 1) / 2, tail = kept / 2;
        return text.substr(0, byteOfCodePoint(text, head)) + "\u2026" +
               text.substr(byteOfCodePoint(text, points - tail));
    };
    // The most code points kept that fit: the width grows with the count.
    std::size_t fits = 0, fails = points;
    while (fails - fits > 1) {
        const std::size_t mid = (fits + fails) / 2;
        (surface.textWidth(shortened(mid)) <= width ? fits : fails) = mid;
    }
    return shortened(fits);
}

namespace {

void drawAxes(DrawingSurface &surface, const Axes &axes)
{
    const Box &box = axes.box;
    const double th = surface.textHeight();
    surface.setForeColor(Black);
    for (const double v : axes.x.values()) {
        const double x = axes.px(v);
        surface.stroke(x, box.bottom, x, box.bottom + TickLength, Black);
        const std::string text = axes.x.label(v);
        printAt(surface, x - surface.textWidth(text) / 2, xTickLabelTop(box, th), text);
    }
    for (const double v : axes.y.values()) {
        const double y = axes.py(v);
        surface.stroke(box.left - TickLength, y, box.left, y, Black);
        const std::string text = axes.y.label(v);
        printAt(surface, yTickLabelRight(box) - surface.textWidth(text), y - th / 2, text);
    }
    const std::string across = "given distance";
    printAt(surface, (box.left + box.right - surface.textWidth(across)) / 2, xTickLabelTop(box, th) + th + 2, across);
    printAt(surface, std::max(Edge, yTickLabelRight(box) - widestLabel(surface, axes.y)), yAxisNameTop(box, th),
            "map distance");
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

/// The model's disparities, corner to corner, clipped to the plot box.
void drawModelPath(DrawingSurface &surface, const Axes &axes, const std::vector<ShepardPoint> &path)
{
    auto clip = [&](double v, const auto &range) { return std::clamp(v, range.low, range.high); };
    for (std::size_t k = 1; k < path.size(); ++k)
        surface.line(axes.px(clip(path[k - 1].given, axes.x)), axes.py(clip(path[k - 1].map, axes.y)),
                     axes.px(clip(path[k].given, axes.x)), axes.py(clip(path[k].map, axes.y)), ModelColour);
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
    surface.setForeColor(Black);

    Axes axes;
    axes.x = RoundTicks(std::min(0.0, figures.givenLow), figures.givenHigh);
    axes.y = RoundTicks(0.0, figures.mapHigh);

    const std::string head = "Shepard diagram";
    std::string figuresText =
        ":  stress-1 " + SignificantText(figures.stress1, 4) + ",  fit " + trimmed(strN(6, figures.fit * 100)) + " %";
    if (!figures.modelName.empty())
        figuresText += ",  " + figures.modelName + " " + SignificantText(figures.modelStress, 4);
    std::string legend = "line of the fit: map distance = " + SignificantText(figures.lineSlope, 4) +
                               " \u00d7 given distance " + (figures.lineIntercept < 0 ? "\u2212 " : "+ ") +
                               SignificantText(std::abs(figures.lineIntercept), 4);
    if (!figures.modelName.empty())
        legend += ";  green: the model's disparities";
    const double across = ShepardWidth - 2 * Edge;
    // The texts that cannot be shortened decide the font: the usual size
    // unless they would not fit across, or would leave the box too small.
    float points = FontPoints;
    for (;; points -= 0.5f) {
        surface.setFontSize(points);
        const double th = surface.textHeight();
        const Box box = placeBox(surface, axes.x, axes.y, Edge + 2 * th);
        const bool fits = surface.textWidth(head + " of \u2026" + figuresText) <= across &&
                          surface.textWidth(legend) <= across && box.right - box.left >= ShepardWidth / 2 &&
                          box.bottom - box.top >= ShepardHeight / 2;
        if (fits || points <= SmallestFontPoints)
            break;
    }
    const double th = surface.textHeight();

    // A long subject (a file name) is shortened in its middle to fit.
    std::string title = head + figuresText;
    if (!subject.empty()) {
        const double room = across - surface.textWidth(head + " of " + figuresText);
        title = head + " of " + ElidedText(surface, subject, room) + figuresText;
    }
    // Only where even the smallest font is too large are these shortened.
    title = ElidedText(surface, title, across);
    legend = ElidedText(surface, legend, across);
    printAt(surface, (ShepardWidth - surface.textWidth(title)) / 2, Edge, title);
    surface.setForeColor(LineColour);
    printAt(surface, (ShepardWidth - surface.textWidth(legend)) / 2, Edge + th, legend);
    surface.setForeColor(Black);
    axes.box = placeBox(surface, axes.x, axes.y, Edge + 2 * th);
    // Fewer ticks across when their labels would run into each other.
    for (int ticks = 4; ticks >= 1 && !labelsApart(surface, axes.x, axes.box.right - axes.box.left); --ticks) {
        axes.x = RoundTicks(std::min(0.0, figures.givenLow), figures.givenHigh, ticks);
        axes.box = placeBox(surface, axes.x, axes.y, Edge + 2 * th);
    }

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
    drawModelPath(surface, axes, figures.modelPath);
    surface.stroke(axes.box.left, axes.box.top, axes.box.right, axes.box.bottom, Black);
    drawAxes(surface, axes);
}

} // namespace tessarin
