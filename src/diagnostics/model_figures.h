#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "diagnostics/map_stress.h"
#include "models/stress_model.h"

namespace tessarin {

/// Turns the figures of `layout` to a stress model (not Fit): the stress per
/// point becomes the model's (each item's share of the model's squared
/// residuals), and the model's name, stress and disparity path are filled in
/// (see StressFigures). Throws TessarinError as MeasureModelStress does.
void AddModelFigures(StressFigures &figures, const DistanceData &data, const Layout &layout,
                     const ModelSetting &model);

} // namespace tessarin
