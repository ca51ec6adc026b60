#pragma once

#include "display/drawing_surface.h"
#include "distances/item_groups.h"

#include <string>
#include <vector>

namespace tessarin {

/// What the map view reads from the window's settings at each drawing.
struct MapSettings {
    /// The grid is drawn when this is exactly 1 (the box is ticked).
    int showGrid = 1;
    /// The label colour setting; "-1" (read leniently) gives a colour per item.
    std::string foreText = "-1";
};

/// Sets the map scale, (-50, -50) to (1050, 1050), and clears the surface.
void PrepareMap(DrawingSurface &graph);

/// Draws a map: clear, the grey grid over the map square if asked (a frame
/// and nine lines each way), then each item's number left of and above its
/// point, offset by the font size. `layout` points at position 0 of a layout
/// with positions 1..2N. Returns the fit in per cent as the fit box shows it.
/// A surface with no width or height gets no labels. With `names` (N of
/// them) the labels are the names instead of the numbers (MapLabelText).
/// With `groups` (one per item) each label takes its group's colour
/// (GroupColour) instead of the colour setting, and a legend of the groups'
/// names in their colours stands in the top right corner; the foreground
/// then returns to the palette colour last set.
std::string DrawMap(DrawingSurface &graph, const float *layout, int itemCount, double fit,
                    const MapSettings &settings, const std::vector<std::string> &names = {},
                    const ItemGroups &groups = {});

} // namespace tessarin
