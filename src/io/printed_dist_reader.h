#pragma once

#include "data/distance_data.h"
#include "io/distance_cell.h"

#include <string>

namespace tessarin {

/// Reads a lower triangle as R prints a dist object, also when R has wrapped
/// it into blocks of columns at the console width: each block is a header of
/// the names of its columns, then one line for every row of the triangle,
/// its name and its distances to the items of that block's columns (none for
/// the rows above the block). Without the diagonal the rows name items
/// 2..N and the first block's header begins with item 1; with it
/// (print(d, diag = TRUE)) the rows name items 1..N, each ending in its 0.
/// The names may be numbers (site numbers) but hold no blanks; fields are
/// separated by blanks or tabs. Blank lines are skipped. All or nothing:
/// throws TessarinError naming the file, the line, the items and the value
/// at fault; `meaning` says whether a cell's message calls it a distance or a
/// weight.
DistanceData ReadPrintedDist(const std::string &fileName, CellMeaning meaning);
/// The same with the cells read as distances.
DistanceData ReadPrintedDist(const std::string &fileName);

} // namespace tessarin
