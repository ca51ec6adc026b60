#pragma once

#include "base/number_texts.h"
#include "diagnostics/map_stress.h"
#include "display/drawing_surface.h"

#include <string>

namespace tessarin {

/// The Shepard diagram's own user scale: a picture 1000 units wide and 750
/// high, whatever the device's size.
constexpr double ShepardWidth = 1000;
constexpr double ShepardHeight = 750;

/// Draws the Shepard diagram of `figures`: given distance across, map
/// distance up, with round-number ticks; every pair as a dot when the
/// figures kept the points, else the density of the grid's bins in four
/// shades; the line of the fit measure in red; a title naming `subject` (a
/// file name, may be empty) with stress-1 and the fit. Sets its own scale,
/// colours and font on the surface.
void DrawShepard(DrawingSurface &surface, const StressFigures &figures, const std::string &subject);

} // namespace tessarin
