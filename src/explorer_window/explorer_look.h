#pragma once

namespace tessarin {

/// The explorer's display settings; every change shows at once.
struct ExplorerLook {
    /// Label text size in points.
    double labelPoints = 9;
    /// Marker side in pixels.
    double markerPixels = 7;
    /// A dark background with light markers and labels instead of white.
    bool dark = false;
    /// Labels show the item numbers instead of the names.
    bool numbers = false;
    /// Per group: the convex hull, and the ellipse holding about 68 %.
    bool hulls = false;
    bool ellipses = false;
    /// Markers sized by the item's share of the stress.
    bool sizeByStress = false;
};

} // namespace tessarin
