#pragma once

#include "data/layout.h"

#include <vector>

namespace tessarin {

class ModelLoss;

/// The model's stress of a stored map (positions 1..2N) as `loss` computes
/// it (2-D): the figure the map solvers compare maps by and report. It
/// agrees with MeasureModelStress to rounding.
double StoredModelStress(ModelLoss &loss, const Layout &layout);

/// The coordinates of a stored map, coordinate-major in double precision.
std::vector<double> StoredCoordinates(const Layout &layout, int itemCount);

} // namespace tessarin
