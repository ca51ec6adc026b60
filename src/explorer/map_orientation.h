#pragma once

#include "data/layout.h"

namespace tessarin {

/// Turns and mirrors of a map about the centre (500, 500) of the map square,
/// which keep every distance between items, and so the fit and stress, up to
/// the rounding of the single-precision coordinates; a map inside the square
/// stays inside it. Each changes positions 1..2N of `layout` (N items) in
/// place.
enum class MapTurn {
    /// A quarter turn clockwise as the map is shown (y downwards).
    RotateClockwise,
    /// Left and right swapped.
    ReflectHorizontally,
    /// Top and bottom swapped.
    ReflectVertically,
};

void TurnMap(Layout &layout, int itemCount, MapTurn turn);

} // namespace tessarin
