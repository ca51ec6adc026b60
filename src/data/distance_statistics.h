#pragma once

#include "data/distance_data.h"

#include <string>

namespace tessarin {

/// Sets DistanceSum and DistanceSpread of `data` from its table (cells above
/// the diagonal, pairs row by row), as every reader does once the table is
/// filled. `fileName` names the file in the error thrown when the sums leave
/// the single-precision range.
void ComputeDistanceStatistics(DistanceData &data, const std::string &fileName);

} // namespace tessarin
