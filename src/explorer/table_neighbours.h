#pragma once

#include "data/distance_data.h"
#include "data/layout.h"

#include <vector>

namespace tessarin {

/// One of an item's nearest items in the table.
struct TableNeighbour {
    int item = 0;
    /// The distance the table gives.
    double given = 0;
    /// The straight-line distance on the map.
    double map = 0;
};

/// The `count` items with the smallest given distance to `item` (1-based),
/// nearest first, equal distances in item order; fewer when the table has
/// fewer other items. Throws TessarinError when `item` is not an item of the
/// table or `layout` is not a map of its items.
std::vector<TableNeighbour> NearestInTable(const DistanceData &data, const Layout &layout, int item, int count);

} // namespace tessarin
