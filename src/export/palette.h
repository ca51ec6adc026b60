#pragma once

#include <QColor>

namespace tessarin {

/// Number of entries of the classic 16-colour palette.
constexpr int PaletteSize = 16;

/// The colour of palette index 0..15: 0 black, 1 blue, 2 green, 3 cyan, 4 red,
/// 5 magenta, 6 dark yellow, 7 light grey, 8 dark grey, 9 light blue,
/// 10 light green, 11 light cyan, 12 light red, 13 light magenta, 14 yellow,
/// 15 white (the VGA values).
/// Throws TessarinError for an index outside 0..15.
QColor PaletteColor(int index);

} // namespace tessarin
