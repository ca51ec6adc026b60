#include "explorer/table_neighbours.h"

#include "base/tessarin_error.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessarin {

std::vector<TableNeighbour> NearestInTable(const DistanceData &data, const Layout &layout, int item, int count)
{
    const int n = data.ItemCount;
    if (item < 1 || item > n)
        throw TessarinError("item " + std::to_string(item) + " is not one of the " + std::to_string(n) +
                            " items of the table");
    if (layout.size() < 2 * static_cast<std::size_t>(n) + 1)
        throw TessarinError("the map has " + std::to_string(layout.size()) + " positions, too few for " +
                            std::to_string(n) + " items");
    std::vector<TableNeighbour> all;
    all.reserve(static_cast<std::size_t>(n));
    const auto at = [&](int k) { return static_cast<double>(layout[static_cast<std::size_t>(k)]); };
    for (int j = 1; j <= n; ++j) {
        if (j == item)
            continue;
        const double dx = at(j) - at(item), dy = at(n + j) - at(n + item);
        all.push_back({j, static_cast<double>(data.distance(item, j)), std::sqrt(dx * dx + dy * dy)});
    }
    const auto nearer = [](const TableNeighbour &a, const TableNeighbour &b) {
        return a.given != b.given ? a.given < b.given : a.item < b.item;
    };
    const auto keep = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(all.size())));
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(keep), all.end(), nearer);
    all.resize(keep);
    return all;
}

} // namespace tessarin
