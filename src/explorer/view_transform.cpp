#include "explorer/view_transform.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

void ViewTransform::setViewport(double width, double height)
{
    m_width = std::max(1.0, width);
    m_height = std::max(1.0, height);
}

void ViewTransform::setState(double centreX, double centreY, double scale)
{
    if (std::isfinite(centreX) && std::isfinite(centreY)) {
        m_centreX = centreX;
        m_centreY = centreY;
    }
    if (std::isfinite(scale))
        m_scale = std::clamp(scale, MinimumScale, MaximumScale);
}

void ViewTransform::fit(const MapBounds &bounds, double margin)
{
    if (bounds.empty())
        return;
    m_centreX = (bounds.left + bounds.right) / 2;
    m_centreY = (bounds.top + bounds.bottom) / 2;
    const double roomX = std::max(1.0, m_width - 2 * margin);
    const double roomY = std::max(1.0, m_height - 2 * margin);
    if (bounds.width() <= 0 && bounds.height() <= 0)
        return;
    double scale = MaximumScale;
    if (bounds.width() > 0)
        scale = std::min(scale, roomX / bounds.width());
    if (bounds.height() > 0)
        scale = std::min(scale, roomY / bounds.height());
    m_scale = std::clamp(scale, MinimumScale, MaximumScale);
}

void ViewTransform::zoomAt(double x, double y, double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    const ScreenPoint anchor = toMap(x, y);
    m_scale = std::clamp(m_scale * factor, MinimumScale, MaximumScale);
    // Keep the anchor under (x, y).
    m_centreX = anchor.x - (x - m_width / 2) / m_scale;
    m_centreY = anchor.y - (y - m_height / 2) / m_scale;
}

void ViewTransform::panBy(double dx, double dy)
{
    m_centreX -= dx / m_scale;
    m_centreY -= dy / m_scale;
}

void ViewTransform::centreOn(double mapX, double mapY)
{
    m_centreX = mapX;
    m_centreY = mapY;
}

MapBounds ViewTransform::visibleMap() const
{
    const ScreenPoint topLeft = toMap(0, 0);
    const ScreenPoint bottomRight = toMap(m_width, m_height);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

} // namespace tessarin
