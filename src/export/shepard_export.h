#pragma once

#include "diagnostics/map_stress.h"
#include "export/map_export.h"

#include <memory>
#include <string>

namespace tessarin {

/// The Shepard diagram's box: 600 by 450 logical pixels (9000 by 6750 twips).
PictureFrame ShepardFrame();

/// The diagram's replay for RenderImage and RenderSvg. The figures are
/// shared, not copied: a grid or 20 000 points per replay add up.
Replay ShepardReplay(std::shared_ptr<const StressFigures> figures, const std::string &subject);

/// True when `path` ends in .png or .svg (in any case).
bool IsShepardImageName(const std::string &path);

/// For the batch mode: writes the diagram as the Shepard window draws it, as
/// PNG (600 by 450 pixels) or SVG by the name's ending. Creates an offscreen
/// application when none runs. Throws TessarinError naming the file.
void WriteShepardImage(const std::string &path, std::shared_ptr<const StressFigures> figures,
                       const std::string &subject);

} // namespace tessarin
