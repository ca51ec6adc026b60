#include "display/stress_rings.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

constexpr int RingColour = 8; // dark grey: faint on the default black map

} // namespace

void DrawStressRings(DrawingSurface &graph, const float *layout, int itemCount,
                     const std::vector<double> &pointShares)
{
    const int n = std::min<int>(itemCount, static_cast<int>(pointShares.size()));
    double largest = 0;
    for (int i = 0; i < n; ++i)
        largest = std::max(largest, pointShares[i]);
    if (!(largest > 0))
        return;
    for (int i = 1; i <= n; ++i) {
        const double share = pointShares[i - 1];
        if (share > 0)
            graph.circle(layout[i], layout[itemCount + i], LargestStressRing * std::sqrt(share / largest), RingColour);
    }
}

} // namespace tessarin
