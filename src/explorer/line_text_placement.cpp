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
        auto crossesOtherLine = [&](const ScreenRect &box) {
            for (std::size_t other = 0; other < texts.size(); ++other)
                if (other != k && Finite(texts[other]) && ClipToBox(texts[other].from, texts[other].to, box))
                    return true;
            return false;
        };
        for (int pass = 0; pass < 2 && !placed[k].placed; ++pass) {
            const bool clear = pass == 0;
            for (int step = 0; step <= std::max(0, options.steps) && !placed[k].placed; ++step) {
                const double away = gap + reach + step * text.height;
                for (std::size_t s = 0; s < stations.size() && !placed[k].placed; ++s) {
                    const ScreenPoint at{text.from.x + stations[s] * dx, text.from.y + stations[s] * dy};
                    for (const double side : {1.0, -1.0}) {
                        const double cx = at.x + side * nx * away, cy = at.y + side * ny * away;
                        const ScreenRect box{cx - text.width / 2, cy - text.height / 2, text.width, text.height};
                        if (!box.inside(width, height) || !taken.free(box))
                            continue;
                        if (clear && (!avoided.free(box) || crossesOtherLine(box)))
                            continue;
                        taken.add(box);
                        placed[k] = {true, box, at, step > 0, NearestPoint(box, at)};
                        break;
                    }
                }
            }
        }
    }
    return placed;
}

} // namespace tessarin
