#pragma once

#include "display/drawing_surface.h"

#include <vector>

namespace tessarin {

/// The radius, in map units, of the ring of the item with the largest share.
constexpr double LargestStressRing = 60;

/// Draws a faint ring around each item of a drawn map whose area shows the
/// item's stress per point: the ring of the worst-placed item has radius
/// LargestStressRing, the others an area in proportion to their share. Items
/// with share 0 get none. `layout` points at position 0 of a layout with
/// positions 1..2N; `pointShares` holds N shares (item i at i - 1).
void DrawStressRings(DrawingSurface &graph, const float *layout, int itemCount,
                     const std::vector<double> &pointShares);

} // namespace tessarin
