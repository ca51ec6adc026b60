#pragma once

#include "data/distance_data.h"

#include <string>

namespace tessarin {

/// Reads a distance file: the item count N and a title, then N - 1 row lines,
/// row line i holding the distances from item i to items i + 1..N, separated
/// by a single comma, a single tab or a run of blanks.
///
/// The reading is all or nothing: the result is complete, or a TessarinError
/// is thrown whose message names the file, the line and the value at fault.
/// The file is closed on every path. N must be 2..16383; a value beyond the
/// single-precision range is refused at once.
DistanceData ReadDistances(const std::string &fileName);

} // namespace tessarin
