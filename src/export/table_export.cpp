#include "export/table_export.h"

#include "display/distance_table_view.h"
#include "export/painter_surface.h"

namespace tessarin {

Replay TableReplay(const PainterSurface &state, const DistanceData &data, const std::string &sizeText)
{
    return [&state, &data, sizeText](PainterSurface &surface) {
        surface.copyStateFrom(state);
        DistanceMatrix(surface, data, sizeText);
    };
}

} // namespace tessarin
