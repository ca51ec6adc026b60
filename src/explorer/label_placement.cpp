#include "explorer/label_placement.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

/// The boxes taken so far (labels and markers), filed in square cells of the
/// picture, a box in every cell it touches.
class Occupancy {
public:
    Occupancy(double width, double height, double cell)
        : m_cell(std::max(cell, 4.0)), m_columns(static_cast<int>(std::ceil(width / m_cell)) + 1),
          m_rows(static_cast<int>(std::ceil(height / m_cell)) + 1),
          m_cells(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows))
    {
    }

    void add(const ScreenRect &box)
    {
        const int id = static_cast<int>(m_boxes.size());
        m_boxes.push_back(box);
        forCells(box, [&](std::vector<int> &cell) {
            cell.push_back(id);
            return false;
        });
    }

    bool free(const ScreenRect &box) const
    {
        bool hit = false;
        const_cast<Occupancy *>(this)->forCells(box, [&](std::vector<int> &cell) {
            for (int id : cell)
                if (m_boxes[static_cast<std::size_t>(id)].overlaps(box)) {
                    hit = true;
                    return true;
                }
            return false;
        });
        return !hit;
    }

private:
    // Calls `visit` on each cell the box touches until it returns true.
    template <typename Visit>
    void forCells(const ScreenRect &box, Visit visit)
    {
        const int c0 = clampColumn(box.left), c1 = clampColumn(box.right());
        const int r0 = clampRow(box.top), r1 = clampRow(box.bottom());
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                if (visit(m_cells[static_cast<std::size_t>(r) * m_columns + c]))
                    return;
    }
    int clampColumn(double x) const { return std::clamp(static_cast<int>(std::floor(x / m_cell)), 0, m_columns - 1); }
    int clampRow(double y) const { return std::clamp(static_cast<int>(std::floor(y / m_cell)), 0, m_rows - 1); }

    double m_cell;
    int m_columns;
    int m_rows;
    std::vector<std::vector<int>> m_cells;
    std::vector<ScreenRect> m_boxes;
};

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
    Occupancy taken(options.pictureWidth, options.pictureHeight, 2 * typicalHeight);
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
