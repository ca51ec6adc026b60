#pragma once

namespace tessarin {

/// A rectangle on the screen, in pixels.
struct ScreenRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool overlaps(const ScreenRect &other) const
    {
        return left < other.right() && other.left < right() && top < other.bottom() && other.top < bottom();
    }
    bool inside(double pictureWidth, double pictureHeight) const
    {
        return left >= 0 && top >= 0 && right() <= pictureWidth && bottom() <= pictureHeight;
    }
};

} // namespace tessarin
