#include "explorer/detail_thinning.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tessarin {

std::vector<int> ThinToCells(const std::vector<ScreenPoint> &points, double width, double height, double cell)
{
    std::vector<int> kept;
    if (!(width > 0) || !(height > 0))
        return kept;
    cell = std::max(cell, 1.0);
    const auto columns = static_cast<std::size_t>(std::ceil(width / cell)) + 1;
    const auto rows = static_cast<std::size_t>(std::ceil(height / cell)) + 1;
    std::vector<std::uint8_t> taken(columns * rows, 0);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const ScreenPoint &p = points[k];
        if (!(p.x >= 0 && p.x <= width && p.y >= 0 && p.y <= height))
            continue;
        const std::size_t index =
            static_cast<std::size_t>(p.y / cell) * columns + static_cast<std::size_t>(p.x / cell);
        if (taken[index])
            continue;
        taken[index] = 1;
        kept.push_back(static_cast<int>(k));
    }
    return kept;
}

} // namespace tessarin
