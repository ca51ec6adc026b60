#include "models/model_measure.h"

#include "models/stored_model_stress.h"

#include <cmath>

namespace tessarin {

MapMeasure ModelMeasure(ModelLoss &loss)
{
    MapMeasure measure;
    measure.improvement = Improvement::Lower;
    measure.score = [&loss](const Layout &layout) { return StoredModelStress(loss, layout); };
    measure.scoreIsFit = false;
    measure.worst = HUGE_VAL;
    // At the end of a polish the loss is flat to rounding and a line search
    // only shrinks its step; eight tries are enough to tell (more cost
    // passes and gain nothing on the benchmark's tables).
    measure.lineSearchTries = 8;
    measure.stepBySpread = true;
    return measure;
}

} // namespace tessarin
