#pragma once

#include "data/distance_data.h"

namespace tessarin {

/// The most items whose missing distances are filled by shortest paths.
inline constexpr int FilledDistancesPathLimit = 2000;

/// The table for the classical start of a table with missing pairs (pairs of
/// weight 0, whatever distance the table holds for them): each missing
/// distance becomes the length of the shortest path between its two items
/// through present pairs; present distances stay as they are. The result has
/// no weights and its own statistics. Only the start uses it; the map is then
/// polished on the weighted table.
///
/// The shortest path keeps what the present pairs say about the missing
/// one: it is the longest distance the triangle inequality allows, and for
/// items near each other it runs through their common neighbours. A mean of
/// the row and the column would put every missing pair at a typical
/// distance, near items far apart.
///
/// The paths cost about N^3 steps when most rows have holes, hours at the
/// largest tables; above `pathItemLimit` items each missing distance becomes
/// instead the mean of the two items' mean present distances (N^2 steps):
/// a rougher start, which the polish then mends.
///
/// Needs the present pairs to join every item (SetPairWeights ensures it).
/// A table without weights is returned as it is.
DistanceData FilledDistances(const DistanceData &data, int pathItemLimit = FilledDistancesPathLimit);

} // namespace tessarin
