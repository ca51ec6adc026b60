#pragma once

#include "data/distance_data.h"

#include <string>
#include <vector>

namespace tessarin {

/// Gives `data` a weight per pair, in pair order (i = 1..N, j = i + 1..N),
/// each finite and 0 or more; 0 leaves the pair out. Weights that are all 1
/// are no weights at all: the table is then exactly the unweighted one, bit
/// for bit. Sets MissingPairs and the weighted statistics (and DistanceSum
/// and DistanceSpread from them, in single precision).
///
/// Throws TessarinError, its message starting with `where`, when the pairs
/// that weigh more than 0 do not connect all items: the message names each
/// group cut off from the largest ("items Aunt, Niece have no present pair
/// with the other 13").
void SetPairWeights(DistanceData &data, std::vector<float> weights, const std::string &where);

/// The groups of items joined by pairs of weight above 0, each a list of
/// 1-based items in increasing order; groups ordered by their first item.
/// One group when the pairs connect all items.
std::vector<std::vector<int>> ConnectedGroups(const DistanceData &data);

} // namespace tessarin
