#pragma once

#include "data/distance_data.h"
#include "io/distance_cell.h"

#include <string>

namespace tessarin {

/// Reads a named lower triangle: one row per item, its name and then its
/// distances to the items before it, with or without the diagonal 0 at the
/// end (the first row decides for all). Fields are separated by tabs when a
/// line holds one, else by runs of blanks (a name with blanks then goes in
/// double quotes). Line 1 may be
///  - a count and a title (the .dst layout): the rows follow, N of them;
///  - a header of names, as R prints a dist object: the first row then is
///    item 2 (without the diagonal) or item 1 (with it), and the header must
///    name the same items in the same order;
///  - the first row itself.
/// Blank lines are skipped. All or nothing: throws TessarinError naming the
/// file, the line, the items and the value at fault; `meaning` says whether a
/// cell's message calls it a distance or a weight.
DistanceData ReadLowerTriangle(const std::string &fileName, CellMeaning meaning);
/// The same with the cells read as distances.
DistanceData ReadLowerTriangle(const std::string &fileName);

} // namespace tessarin
