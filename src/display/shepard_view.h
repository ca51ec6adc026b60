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
/// colours and font on the surface. Every text lies inside the picture: the
/// plot box gives way to the texts as the surface measures them, a subject
/// too long for the title is shortened in its middle, and the font shrinks
/// only when the other texts would not fit.
void DrawShepard(DrawingSurface &surface, const StressFigures &figures, const std::string &subject);

/// `text` as it fits `width` user units on `surface` in its current font:
/// whole when it fits, else its beginning and end around an ellipsis ("…"),
/// cut between UTF-8 code points; only the ellipsis when nothing else fits.
std::string ElidedText(const DrawingSurface &surface, const std::string &text, double width);

} // namespace tessarin
