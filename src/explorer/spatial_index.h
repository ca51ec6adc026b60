#pragma once

#include "explorer/map_bounds.h"

#include <vector>

namespace tessarin {

/// A uniform grid over the items' positions, for what a picture shows and
/// what lies under the pointer without a pass over every item. Items are
/// numbered 0..N-1 in the order of the positions given.
class SpatialIndex {
public:
    SpatialIndex() = default;
    /// Indexes the points (xs[k], ys[k]); the two lists have the same length.
    SpatialIndex(std::vector<double> xs, std::vector<double> ys);

    int size() const { return static_cast<int>(m_xs.size()); }
    double x(int item) const { return m_xs[static_cast<std::size_t>(item)]; }
    double y(int item) const { return m_ys[static_cast<std::size_t>(item)]; }
    /// The smallest rectangle holding every point; empty without points.
    const MapBounds &bounds() const { return m_bounds; }

    /// The items inside `area` (edges included), in increasing order.
    std::vector<int> itemsIn(const MapBounds &area) const;
    /// The item nearest to (x, y) within `radius` (the lower number of equally
    /// near ones), or -1.
    int nearest(double x, double y, double radius) const;

private:
    int column(double x) const;
    int row(double y) const;

    std::vector<double> m_xs;
    std::vector<double> m_ys;
    MapBounds m_bounds;
    int m_columns = 0;
    int m_rows = 0;
    double m_cellWidth = 1;
    double m_cellHeight = 1;
    // The items of cell (c, r) are m_items[m_starts[r * columns + c] ..
    // m_starts[r * columns + c + 1]), in increasing order.
    std::vector<int> m_starts;
    std::vector<int> m_items;
};

} // namespace tessarin
