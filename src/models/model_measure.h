#pragma once

#include "scaling/map_measure.h"

namespace tessarin {

class ModelLoss;

/// A stress model's stress as the measure the polishes and the best maps
/// lower: StoredModelStress with `loss` (2-D), which must outlive the
/// measure.
MapMeasure ModelMeasure(ModelLoss &loss);

} // namespace tessarin
