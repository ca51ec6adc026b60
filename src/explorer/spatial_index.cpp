#include "explorer/spatial_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarin {

SpatialIndex::SpatialIndex(std::vector<double> xs, std::vector<double> ys) : m_xs(std::move(xs)), m_ys(std::move(ys))
{
    const std::size_t n = std::min(m_xs.size(), m_ys.size());
    m_xs.resize(n);
    m_ys.resize(n);
    for (std::size_t k = 0; k < n; ++k)
        if (std::isfinite(m_xs[k]) && std::isfinite(m_ys[k]))
            m_bounds.include(m_xs[k], m_ys[k]);
    if (m_bounds.empty())
        return;
    // About two items a cell, in cells as square as the bounds allow.
    const double cells = std::max(1.0, static_cast<double>(n) / 2);
    const double w = std::max(m_bounds.width(), 1e-9);
    const double h = std::max(m_bounds.height(), 1e-9);
    const double side = std::sqrt(w * h / cells);
    m_columns = static_cast<int>(std::clamp(std::ceil(w / side), 1.0, 4096.0));
    m_rows = static_cast<int>(std::clamp(std::ceil(h / side), 1.0, 4096.0));
    m_cellWidth = w / m_columns;
    m_cellHeight = h / m_rows;

    std::vector<int> counts(static_cast<std::size_t>(m_columns) * m_rows + 1, 0);
    std::vector<int> cellOf(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        if (!std::isfinite(m_xs[k]) || !std::isfinite(m_ys[k]))
            continue;
        cellOf[k] = row(m_ys[k]) * m_columns + column(m_xs[k]);
        ++counts[static_cast<std::size_t>(cellOf[k]) + 1];
    }
    for (std::size_t c = 1; c < counts.size(); ++c)
        counts[c] += counts[c - 1];
    m_starts = counts;
    m_items.assign(static_cast<std::size_t>(counts.back()), 0);
    for (std::size_t k = 0; k < n; ++k)
        if (cellOf[k] >= 0)
            m_items[static_cast<std::size_t>(counts[static_cast<std::size_t>(cellOf[k])]++)] = static_cast<int>(k);
}

int SpatialIndex::column(double x) const
{
    return std::clamp(static_cast<int>(std::floor((x - m_bounds.left) / m_cellWidth)), 0, m_columns - 1);
}

int SpatialIndex::row(double y) const
{
    return std::clamp(static_cast<int>(std::floor((y - m_bounds.top) / m_cellHeight)), 0, m_rows - 1);
}

std::vector<int> SpatialIndex::itemsIn(const MapBounds &area) const
{
    std::vector<int> found;
    if (m_bounds.empty() || area.empty() || area.right < m_bounds.left || area.left > m_bounds.right ||
        area.bottom < m_bounds.top || area.top > m_bounds.bottom)
        return found;
    const int c0 = column(area.left), c1 = column(area.right);
    const int r0 = row(area.top), r1 = row(area.bottom);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const std::size_t cell = static_cast<std::size_t>(r) * m_columns + c;
            for (int k = m_starts[cell]; k < m_starts[cell + 1]; ++k) {
                const int item = m_items[static_cast<std::size_t>(k)];
                if (area.contains(x(item), y(item)))
                    found.push_back(item);
            }
        }
    std::sort(found.begin(), found.end());
    return found;
}

int SpatialIndex::nearest(double px, double py, double radius) const
{
    if (m_bounds.empty() || !(radius >= 0))
        return -1;
    const std::vector<int> near = itemsIn({px - radius, py - radius, px + radius, py + radius});
    int best = -1;
    double bestSquare = std::numeric_limits<double>::infinity();
    for (int item : near) {
        const double dx = x(item) - px, dy = y(item) - py;
        const double square = dx * dx + dy * dy;
        if (square <= radius * radius && square < bestSquare) {
            best = item;
            bestSquare = square;
        }
    }
    return best;
}

} // namespace tessarin
