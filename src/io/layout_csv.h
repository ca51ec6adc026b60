#pragma once

#include "data/layout.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace tessarin {

/// Writes a map as CSV: the header "item,x,y", then one line per item 1..N
/// with its coordinates in map units (y downwards), each written with the
/// shortest text that reads back to the same single-precision value. With
/// `names` (N of them) the header is "item,name,x,y" and each name is quoted
/// as RFC 4180 says when it needs it.
void WriteLayoutCsv(std::ostream &out, const Layout &layout, int itemCount,
                    const std::vector<std::string> &names = {});
std::string LayoutCsvText(const Layout &layout, int itemCount, const std::vector<std::string> &names = {});

/// Reads a map written by WriteLayoutCsv, with or without names. Items must
/// be numbered 1..N in order; the result has positions 0..2N. The names go to
/// `names` when it is given (empty for a map without them). Throws
/// TessarinError naming the file and line of the first fault.
Layout ReadLayoutCsv(const std::string &fileName, std::vector<std::string> *names = nullptr);

/// Checks that a map read by ReadLayoutCsv fits a table of `itemCount` items
/// with `tableNames`: the same count, and when the map names its items, the
/// same names in the same order. Throws TessarinError naming both files.
void CheckLayoutFits(const Layout &layout, const std::vector<std::string> &mapNames, const std::string &mapFile,
                     int itemCount, const std::vector<std::string> &tableNames, const std::string &tableFile);

} // namespace tessarin
