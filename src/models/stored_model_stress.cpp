#include "models/stored_model_stress.h"

#include "models/model_loss.h"

namespace tessarin {

std::vector<double> StoredCoordinates(const Layout &layout, int itemCount)
{
    std::vector<double> coords(2 * static_cast<std::size_t>(itemCount));
    for (std::size_t k = 0; k < coords.size(); ++k)
        coords[k] = layout[k + 1];
    return coords;
}

double StoredModelStress(ModelLoss &loss, const Layout &layout)
{
    const std::vector<double> coords = StoredCoordinates(layout, loss.itemCount());
    std::vector<double> gradient(coords.size());
    return loss.stressOf(loss.evaluate(coords.data(), gradient.data()));
}

} // namespace tessarin
