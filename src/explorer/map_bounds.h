#pragma once

#include <algorithm>

namespace tessarin {

/// A rectangle in map units (x to the right, y downwards); empty when left >
/// right or top > bottom.
struct MapBounds {
    double left = 0;
    double top = 0;
    double right = -1;
    double bottom = -1;

    bool empty() const { return left > right || top > bottom; }
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool contains(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    /// Grows the rectangle to hold (x, y).
    void include(double x, double y)
    {
        if (empty()) {
            left = right = x;
            top = bottom = y;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

} // namespace tessarin
