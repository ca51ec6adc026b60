#pragma once

namespace tessarin {

/// Twips (1/1440 inch) to a logical pixel at 96 pixels an inch: the window's
/// sizes and the default user scale of every drawing surface are in twips.
constexpr int TwipsPerPixel = 15;

} // namespace tessarin
