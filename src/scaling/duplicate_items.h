#pragma once

#include "data/distance_data.h"

#include <vector>

namespace tessarin {

/// The items of a table that are the same item given twice: their rows of
/// the table are identical (so their distance is 0). The map solvers keep
/// such items on one point by giving each the coordinates and the gradient
/// of the first item of its group.
class DuplicateItems {
public:
    /// Finds the groups of `data` (O(N^2) reads, no extra table).
    explicit DuplicateItems(const DistanceData &data);

    /// True when some item repeats another.
    bool any() const { return m_any; }

    /// 0-based index of the first item with the same row as item `item`
    /// (0-based); the item itself when it has no earlier twin.
    int first(int item) const { return m_first[static_cast<std::size_t>(item)]; }

    /// Copies, for each coordinate block d < dimensions of a coordinate-major
    /// vector (item j's coordinate d at [d * N + j]), the value of each
    /// group's first item into the others.
    void spread(double *values, int dimensions) const;

private:
    std::vector<int> m_first;
    bool m_any = false;
};

} // namespace tessarin
