#pragma once

#include "data/distance_data.h"
#include "display/drawing_surface.h"

#include <string>

namespace tessarin {

/// Draws the distance matrix as a table: header row with the column numbers,
/// first column with the row numbers, each cell as strN(3, distance), " - "
/// on the diagonal. The text of cell (i, j) starts at the top-left corner of
/// unit cell (j, i) of an (N + 1) x (N + 1) scale. The font depends on the
/// picture size (twips, read from `sizeText`) per item.
/// Throws TessarinError when there is no table (N = 0: after scaling,
/// colouring and clearing) or N + 1 leaves the 16-bit range. Returns early,
/// the table unfinished, once the surface has stopped (DrawingSurface::stopped).
void DistanceMatrix(DrawingSurface &box, const DistanceData &data, const std::string &sizeText);

} // namespace tessarin
