#pragma once

#include "data/distance_data.h"
#include "export/map_export.h"

#include <string>

namespace tessarin {

/// The distance table's replay: the table drawn for `sizeText` in the
/// drawing state of `state` (its font and colours as the box had them). Keeps
/// references to `data` and `state`: call it while both live.
Replay TableReplay(const PainterSurface &state, const DistanceData &data, const std::string &sizeText);

} // namespace tessarin
