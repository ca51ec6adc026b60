#pragma once

#include "data/layout.h"

#include <iosfwd>
#include <string>

namespace tessarin {

/// Writes a map as CSV: the header "item,x,y", then one line per item 1..N
/// with its coordinates in map units (y downwards), each written with the
/// shortest text that reads back to the same single-precision value.
void WriteLayoutCsv(std::ostream &out, const Layout &layout, int itemCount);
std::string LayoutCsvText(const Layout &layout, int itemCount);

/// Reads a map written by WriteLayoutCsv. Items must be numbered 1..N in
/// order; the result has positions 0..2N. Throws TessarinError naming the
/// file and line of the first fault.
Layout ReadLayoutCsv(const std::string &fileName);

} // namespace tessarin
