#pragma once

#include "explorer/view_transform.h"

#include <vector>

namespace tessarin {

/// The level of detail of a crowded picture: of the screen points given (in
/// the order given), keeps the first that falls into each square of `cell`
/// pixels of a `width` by `height` picture, and drops points outside it. A
/// marker drawn over another of the same size adds nothing to the picture,
/// so at most one marker a cell is drawn. Returns positions into `points`.
std::vector<int> ThinToCells(const std::vector<ScreenPoint> &points, double width, double height, double cell);

} // namespace tessarin
