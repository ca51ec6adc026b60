#include "explorer/line_text_placement.h"

#include "explorer/box_occupancy.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tessarin {

namespace {

struct Span {
    double from;
    double to;
};

/// The part of the segment a + t (b - a), 0 <= t <= 1, inside `box` (its
/// edges included), as a range of t; none when the segment misses the box
/// (Liang and Barsky's clipping).
std::optional<Span> ClipToBox(ScreenPoint a, ScreenPoint b, const ScreenRect &box)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.left, box.right() - a.x, a.y - box.top, box.bottom() - a.y};
    Span span{0, 1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            span.from = std::max(span.from, t);
        else
            span.to = std::min(span.to, t);
        if (span.from > span.to)
            return std::nullopt;
    }
    return span;
}

ScreenPoint NearestPoint(const ScreenRect &box, ScreenPoint p)
{
    return {std::clamp(p.x, box.left, box.right()), std::clamp(p.y, box.top, box.bottom())};
}

double PointToSegment(ScreenPoint p, ScreenPoint a, ScreenPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, squared = dx * dx + dy * dy;
    const double t = squared > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squared, 0.0, 1.0) : 0.0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

/// The distance between a box and the segment from a to b; 0 when they meet.
double BoxToSegment(const ScreenRect &box, ScreenPoint a, ScreenPoint b)
{
    if (ClipToBox(a, b, box))
        return 0;
    const ScreenPoint nearA = NearestPoint(box, a), nearB = NearestPoint(box, b);
    double distance = std::min(std::hypot(nearA.x - a.x, nearA.y - a.y), std::hypot(nearB.x - b.x, nearB.y - b.y));
    for (double x : {box.left, box.right()})
        for (double y : {box.top, box.bottom()})
            distance = std::min(distance, PointToSegment({x, y}, a, b));
    return distance;
}

bool Finite(const LineText &text)
{
    return std::isfinite(text.from.x) && std::isfinite(text.from.y) && std::isfinite(text.to.x) &&
           std::isfinite(text.to.y) && text.width > 0 && text.height > 0 && std::isfinite(text.width) &&
           std::isfinite(text.height);
}

// Points along the visible part of a line, as t, nearest the preferred
// point first, half a text height apart.
std::vector<double> Stations(const Span &visible, double preferred, double length, double height)
{
    const double start = std::clamp(preferred, visible.from, visible.to);
    std::vector<double> stations{start};
    if (!(length > 0))
        return stations;
    const double step = std::max(1.0, height / 2) / length;
    for (int k = 1;; ++k) {
        const double after = start + k * step, before = start - k * step;
        const bool more = after <= visible.to, less = before >= visible.from;
        if (!more && !less)
            break;
        if (more)
            stations.push_back(after);
        if (less)
            stations.push_back(before);
    }
    return stations;
}

} // namespace

std::vector<PlacedLineText> PlaceLineTexts(const std::vector<LineText> &texts, const LineTextOptions &options)
{
    std::vector<PlacedLineText> placed(texts.size());
    const double width = options.pictureWidth, height = options.pictureHeight;
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        return placed;
    double typicalHeight = 12;
    for (const LineText &text : texts)
        if (Finite(text))
            typicalHeight = std::max(typicalHeight, text.height);
    // What no text may cover (blocked parts, texts placed) and what a text
    // leaves free when it can.
    BoxOccupancy taken(width, height, 2 * typicalHeight);
    for (const ScreenRect &box : options.blocked)
        taken.add(box);
    BoxOccupancy avoided(width, height, 2 * typicalHeight);
    for (const ScreenRect &box : options.avoided)
        avoided.add(box);
    const double r = std::max(0.0, options.markerRadius);
    for (const ScreenPoint &marker : options.markers)
        if (std::isfinite(marker.x) && std::isfinite(marker.y))
            avoided.add({marker.x - r, marker.y - r, 2 * r, 2 * r});
    const ScreenRect picture{0, 0, width, height};
    const double gap = std::max(0.0, options.gap);

    for (std::size_t k = 0; k < texts.size(); ++k) {
        const LineText &text = texts[k];
        if (!Finite(text))
            continue;
        const std::optional<Span> visible = ClipToBox(text.from, text.to, picture);
        if (!visible)
            continue;
        const double dx = text.to.x - text.from.x, dy = text.to.y - text.from.y;
        const double length = std::hypot(dx, dy);
        // The unit normal towards the upper side (the right side of an
        // upright line); a line of no length stands for a level one.
        double nx = 0, ny = -1;
        if (length > 0) {
            nx = -dy / length;
            ny = dx / length;
            if (ny > 0 || (ny == 0 && nx < 0)) {
                nx = -nx;
                ny = -ny;
            }
        }
        // The box's reach along the normal from its centre.
        const double reach = (text.width * std::abs(nx) + text.height * std::abs(ny)) / 2;
        const std::vector<double> stations = Stations(*visible, options.preferred, length, text.height);
        // True when another text's line comes nearer `box` than `own`, the
        // box's distance from its own line (0 with a leader, which tells
        // the line), and half a text height: the text might be read with
        // that line.
        auto nearOtherLine = [&](const ScreenRect &box, double own) {
            for (std::size_t other = 0; other < texts.size(); ++other)
                if (other != k && Finite(texts[other]) &&
                    BoxToSegment(box, texts[other].from, texts[other].to) < own + text.height / 2)
                    return true;
            return false;
        };
        // Past the far end, on the line carried on, where the line's item
        // is shown.
        const bool endShown = length > 0 && text.to.x >= 0 && text.to.x <= width && text.to.y >= 0 &&
                              text.to.y <= height;
        const double ux = length > 0 ? dx / length : 1, uy = length > 0 ? dy / length : 0;
        const double endReach = (text.width * std::abs(ux) + text.height * std::abs(uy)) / 2;

        // Takes `box`, `own` from its line, if free; `clear` asks it to
        // leave the rest free too.
        auto take = [&](const ScreenRect &box, double own, ScreenPoint at, bool leader, bool clear) {
            if (!box.inside(width, height) || !taken.free(box))
                return false;
            if (clear && (!avoided.free(box) || nearOtherLine(box, leader ? 0.0 : own)))
                return false;
            taken.add(box);
            placed[k] = {true, box, at, leader, NearestPoint(box, at)};
            return true;
        };
        // Each pass over the open part of the line, then over the crowded.
        for (int pass = 0; pass < 4 && !placed[k].placed; ++pass) {
            const bool clear = pass < 2;
            const bool crowded = pass % 2 == 1;
            for (int step = 0; step <= std::max(0, options.steps) && !placed[k].placed; ++step) {
                const double away = gap + reach + step * text.height;
                for (std::size_t s = 0; s < stations.size() && !placed[k].placed; ++s) {
                    if ((stations[s] < options.crowded) != crowded)
                        continue;
                    const ScreenPoint at{text.from.x + stations[s] * dx, text.from.y + stations[s] * dy};
                    for (const double side : {1.0, -1.0}) {
                        const double cx = at.x + side * nx * away, cy = at.y + side * ny * away;
                        if (take({cx - text.width / 2, cy - text.height / 2, text.width, text.height},
                                 away - reach, at, step > 0, clear))
                            break;
                    }
                }
                if (!crowded && endShown && !placed[k].placed) {
                    const double beyond = r + gap + endReach + step * text.height;
                    const double cx = text.to.x + ux * beyond, cy = text.to.y + uy * beyond;
                    take({cx - text.width / 2, cy - text.height / 2, text.width, text.height}, beyond - endReach,
                         text.to, step > 0, clear);
                }
            }
        }
    }
    return placed;
}

} // namespace tessarin
