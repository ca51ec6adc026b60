#pragma once

#include <cstdint>

namespace tessarin {

/// A colour as red, green and blue, 0..255 each.
struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RgbColour &) const = default;
};

/// How many colours the group palette holds before it repeats.
constexpr int GroupPaletteSize = 8;

/// The colour of group g (0-based) on the map: the Okabe–Ito palette for
/// categories, told apart also by most colour-blind readers (orange, sky
/// blue, bluish green, vermillion, blue, reddish purple, yellow, black),
/// then the same eight again for groups 8 and on.
RgbColour GroupColour(int group);

} // namespace tessarin
