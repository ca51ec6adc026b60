#pragma once

#include "data/distance_data.h"
#include "io/distance_cell.h"

#include <string>

namespace tessarin {

/// Reads a PHYLIP distance file: line 1 holds only the item count N; then
/// one row per item, its name and its distances, square (N distances, the
/// diagonal 0, symmetric to a relative 1e-6) or lower-triangular (the
/// distances to the items before it, with or without the diagonal 0; the
/// first row decides). A row may wrap over several lines. The name is the
/// row's first field (relaxed PHYLIP); a file that does not read that way is
/// read with the name in the first 10 characters (strict PHYLIP), which may
/// hold blanks. Blank lines are skipped. All or nothing: throws
/// TessarinError naming the file, the line, the items and the value at fault
/// (of the reading that got further); `meaning` says whether a cell's message
/// calls it a distance or a weight.
DistanceData ReadPhylip(const std::string &fileName, CellMeaning meaning);
/// The same with the cells read as distances.
DistanceData ReadPhylip(const std::string &fileName);

} // namespace tessarin
