#pragma once

#include "data/distance_data.h"

#include <string>
#include <vector>

namespace tessarin {

/// The weight of each pair of `table`, in pair order, from a weights table
/// read in any layout the tool reads (`weights`, read from `fileName`). When
/// both tables name their items, the weights table may name them in any
/// order; otherwise the items are taken by number and the counts must
/// agree. A cell missing in the weights table weighs 0. Throws TessarinError
/// naming the file and the item or pair at fault when the items do not match
/// or a weight is negative.
std::vector<float> WeightsForTable(const DistanceData &table, const DistanceData &weights, const std::string &fileName);

/// Reads `fileName` as a weights table (its cells' messages call them
/// weights) and gives `data` its weights. A pair
/// that `readWeights` (the table's weights as read, in pair order; empty for
/// none) leaves out stays out whatever the file says. Throws TessarinError,
/// leaving `data` as it was, when the file cannot be read, does not fit the
/// table, or leaves items without a present pair.
void ApplyWeightsFile(DistanceData &data, const std::vector<float> &readWeights, const std::string &fileName);

} // namespace tessarin
