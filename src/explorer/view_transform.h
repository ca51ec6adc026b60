#pragma once

#include "explorer/map_bounds.h"

namespace tessarin {

/// A point on the screen, in pixels from the picture's top-left corner.
struct ScreenPoint {
    double x = 0;
    double y = 0;
};

/// How the explorer shows the map: one scale, in pixels per map unit, for
/// both directions (a map is never stretched), and the map point at the
/// centre of a picture of a given size.
class ViewTransform {
public:
    /// The smallest and largest scale a zoom reaches, in pixels per map unit.
    static constexpr double MinimumScale = 1e-6;
    static constexpr double MaximumScale = 1e6;

    /// Sets the picture's size in pixels; the centre and scale stay.
    void setViewport(double width, double height);
    double viewportWidth() const { return m_width; }
    double viewportHeight() const { return m_height; }

    /// Centres `bounds` and picks the largest scale that shows all of it
    /// with `margin` pixels free on every side. An empty or single-point
    /// bounds keeps the scale and centres its point.
    void fit(const MapBounds &bounds, double margin);
    /// Multiplies the scale by `factor`, keeping the map point under the
    /// screen point (x, y) where it is.
    void zoomAt(double x, double y, double factor);
    /// Moves the picture by (dx, dy) pixels: the map follows the pointer.
    void panBy(double dx, double dy);
    void centreOn(double mapX, double mapY);

    double scale() const { return m_scale; }
    double centreX() const { return m_centreX; }
    double centreY() const { return m_centreY; }
    void setState(double centreX, double centreY, double scale);

    ScreenPoint toScreen(double mapX, double mapY) const
    {
        return {(mapX - m_centreX) * m_scale + m_width / 2, (mapY - m_centreY) * m_scale + m_height / 2};
    }
    /// The map point under the screen point (x, y).
    ScreenPoint toMap(double x, double y) const
    {
        return {(x - m_width / 2) / m_scale + m_centreX, (y - m_height / 2) / m_scale + m_centreY};
    }
    /// The part of the map the picture shows.
    MapBounds visibleMap() const;

private:
    double m_width = 1;
    double m_height = 1;
    double m_scale = 1;
    double m_centreX = 500;
    double m_centreY = 500;
};

} // namespace tessarin
