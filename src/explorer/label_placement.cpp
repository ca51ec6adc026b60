#include "explorer/label_placement.h"

#include "explorer/box_occupancy.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

// The eight directions in the order of preference: right, left, above right,
// above left, below right, below left, above, below.
constexpr int Directions[8][2] = {{1, 0}, {-1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}, {0, -1}, {0, 1}};

ScreenRect BoxAt(const LabelRequest &label, int dx, int dy, double reach)
{
    const ScreenPoint p = label.anchor;
    ScreenRect box{0, 0, label.width, label.height};
    box.left = dx > 0 ? p.x + reach : dx < 0 ? p.x - reach - label.width : p.x - label.width / 2;
    box.top = dy > 0 ? p.y + reach : dy < 0 ? p.y - reach - label.height : p.y - label.height / 2;
    return box;
}

ScreenPoint NearestPoint(const ScreenRect &box, ScreenPoint p)
{
    return {std::clamp(p.x, box.left, box.right()), std::clamp(p.y, box.top, box.bottom())};
}

} // namespace

std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelRequest> &labels, const std::vector<ScreenPoint> &markers,
                                     const PlacementOptions &options)
{
    std::vector<PlacedLabel> placed(labels.size());
    if (!(options.pictureWidth > 0) || !(options.pictureHeight > 0))
        return placed;
    double typicalHeight = 12;
    if (!labels.empty()) {
        typicalHeight = 0;
        for (const LabelRequest &label : labels)
            typicalHeight = std::max(typicalHeight, label.height);
    }
    BoxOccupancy taken(options.pictureWidth, options.pictureHeight, 2 * typicalHeight);
    const double r = std::max(0.0, options.markerRadius);
    for (const ScreenPoint &marker : markers)
        if (std::isfinite(marker.x) && std::isfinite(marker.y))
            taken.add({marker.x - r, marker.y - r, 2 * r, 2 * r});
    for (const ScreenRect &box : options.blocked)
        taken.add(box);

    for (std::size_t k = 0; k < labels.size(); ++k) {
        const LabelRequest &label = labels[k];
        if (!(label.width > 0) || !(label.height > 0) || !std::isfinite(label.anchor.x) ||
            !std::isfinite(label.anchor.y))
            continue;
        for (int step = 0; step <= std::max(0, options.leaderSteps) && !placed[k].placed; ++step) {
            const double reach = r + options.gap + step * label.height;
            for (const auto &direction : Directions) {
                const ScreenRect box = BoxAt(label, direction[0], direction[1], reach);
                if (!box.inside(options.pictureWidth, options.pictureHeight) || !taken.free(box))
                    continue;
                taken.add(box);
                placed[k] = {true, box, step > 0, NearestPoint(box, label.anchor)};
                break;
            }
        }
    }
    return placed;
}

} // namespace tessarin
