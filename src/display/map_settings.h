#pragma once

#include "display/drawing_surface.h"

#include <string>

namespace tessarin {

/// The display settings as typed in the window's boxes.
struct DisplaySettings {
    std::string backText = "0";  // map background colour index
    std::string foreText = "-1"; // label colour index; -1 a colour per item
    std::string fontText = "18"; // label font size, points
};

/// Which form of the settings step runs: at start-up any label colour above
/// -1 is applied; on a rerun only one from 0 to 15.
enum class SettingsForm { StartUp, Rerun };

/// Copies the display settings onto the map surface: background colour, label
/// colour, the label font "Times New Roman" and its size. Colour values are
/// rounded half to even. Throws TessarinError naming the box and the value
/// when a value is not a palette index or a usable font size; the settings
/// applied before the failing one stay.
void ApplyMapSettings(DrawingSurface &graph, const DisplaySettings &settings, SettingsForm form);

} // namespace tessarin
