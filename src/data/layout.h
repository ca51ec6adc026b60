#pragma once

#include <vector>

namespace tessarin {

/// A map: 2N single-precision coordinates at positions 1..2N (position 0 is a
/// spare that is never read). Item i has its x at position i and its y at
/// position N + i, in map units 0..1000, x to the right and y downwards.
using Layout = std::vector<float>;

} // namespace tessarin
