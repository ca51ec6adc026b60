#pragma once

#include "data/distance_data.h"

#include <iosfwd>

namespace tessarin {

/// Writes a distance table as a square CSV matrix, the way R's write.csv
/// writes one: an empty corner and the names along the top, then one row per
/// item, its name and its N distances (0 on the diagonal). Items without
/// names are named by their numbers. Each distance is the shortest text that
/// reads back to the same single-precision value, and names are always
/// quoted (inner quotes doubled), so ReadDistanceFile reads the file back
/// to the same table, bit for bit.
void WriteSquareMatrix(std::ostream &out, const DistanceData &data);

} // namespace tessarin
