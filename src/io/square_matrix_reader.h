#pragma once

#include "data/distance_data.h"
#include "io/distance_cell.h"

#include <string>

namespace tessarin {

/// Reads a square distance matrix, comma-, tab- or semicolon-separated
/// (FindTableDelimiter on line 1 says which; with semicolons the numbers take
/// the decimal comma, as R's write.csv2 writes them), with RFC 4180 quoting.
/// Three layouts:
///  - names along the top and down the left with a corner cell, empty or
///    not (R's write.csv): every line holds N + 1 fields;
///  - names along the top without a corner (R's write.table): the header
///    holds N fields, the rows N + 1;
///  - no names at all: N lines of N numbers; the items are then numbered.
/// A header of numbers is first read as the first row of an unnamed matrix;
/// when the file does not read that way, as item names that are numbers.
/// The diagonal must be 0 or empty; the cells above it give the distances,
/// none negative, and each cell below must match its mirror to a relative
/// 1e-6; the row
/// names must repeat the column names in order; no two items may share a
/// name. Blank lines are skipped. All or nothing: throws TessarinError naming
/// the file, the line, the items and the value at fault; `meaning` says
/// whether a cell's message calls it a distance or a weight.
DistanceData ReadSquareMatrix(const std::string &fileName, CellMeaning meaning);
/// The same with the cells read as distances.
DistanceData ReadSquareMatrix(const std::string &fileName);

} // namespace tessarin
