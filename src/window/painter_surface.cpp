#include "window/painter_surface.h"

#include "data/tessarin_error.h"
#include "window/palette.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

QString fontFamilyFor(const std::string &name)
{
    const QString requested = QString::fromStdString(name);
    if (QFontDatabase::hasFamily(requested))
        return requested;
    // The classic Windows fonts by their metric-compatible or nearest
    // free counterparts.
    if (name == "Times New Roman")
        return QStringLiteral("Liberation Serif");
    if (name == "Small Fonts")
        return QStringLiteral("Liberation Sans Narrow");
    if (name == "Arial")
        return QStringLiteral("Liberation Sans");
    if (name == "MS Sans Serif")
        return QStringLiteral("Liberation Sans");
    return requested;
}

} // namespace

PainterSurface::PainterSurface(QPaintDevice *device, QSize pixels, QSizeF twips, double pixelScale)
{
    setTarget(device, pixels, twips, pixelScale);
}

PainterSurface::~PainterSurface()
{
    endPainting();
}

void PainterSurface::setTarget(QPaintDevice *device, QSize pixels, QSizeF twips, double pixelScale)
{
    if (m_painter && device != m_device)
        endPainting();
    m_device = device;
    m_pixels = pixels;
    m_twips = twips;
    m_pixelScale = pixelScale;
}

void PainterSurface::beginPainting()
{
    if (m_painter || !canDraw())
        return;
    m_painter = std::make_unique<QPainter>(m_device);
    m_painter->scale(m_pixelScale, m_pixelScale);
}

void PainterSurface::endPainting()
{
    if (m_painter)
        m_painter->end();
    m_painter.reset();
}

bool PainterSurface::canDraw() const
{
    return m_device && !m_pixels.isEmpty() && m_device->width() > 0 && m_device->height() > 0;
}

template <class Draw> void PainterSurface::paint(Draw &&draw)
{
    if (!canDraw())
        return;
    if (m_painter) {
        draw(*m_painter);
        return;
    }
    QPainter painter(m_device);
    painter.scale(m_pixelScale, m_pixelScale);
    draw(painter);
}

void PainterSurface::setScale(double left, double top, double right, double bottom)
{
    if (right == left || bottom == top || !std::isfinite(right - left) || !std::isfinite(bottom - top))
        throw TessarinError("a picture box scale needs two distinct finite corners");
    m_state.scaleLeft = left;
    m_state.scaleTop = top;
    m_state.scaleWidth = right - left;
    m_state.scaleHeight = bottom - top;
    m_state.userScale = true;
}

void PainterSurface::setBackColor(int index)
{
    const QColor colour = PaletteColor(index);
    m_state.backColor = index;
    // As in the classic toolkit, a new background colour erases the drawing.
    paint([&](QPainter &painter) { painter.fillRect(QRectF(QPointF(0, 0), QSizeF(m_pixels)), colour); });
}

void PainterSurface::setForeColor(int index)
{
    PaletteColor(index);
    m_state.foreColor = index;
}

void PainterSurface::setFontName(const std::string &name)
{
    m_state.fontName = name;
}

void PainterSurface::setFontSize(float points)
{
    if (std::isnan(points))
        throw TessarinError("is not a font size");
    if (points < 0)
        throw TessarinError("is a negative font size");
    if (points > LargestPointSize)
        throw TessarinError("is above the largest font size, 2048 points");
    // Below the smallest size the text is drawn at that size, and that is the
    // size reported back.
    m_state.fontSize = std::max(points, SmallestPointSize);
}

void PainterSurface::clear()
{
    const QColor colour = background();
    paint([&](QPainter &painter) { painter.fillRect(QRectF(QPointF(0, 0), QSizeF(m_pixels)), colour); });
    m_state.currentX = static_cast<float>(m_state.userScale ? m_state.scaleLeft : 0.0);
    m_state.currentY = static_cast<float>(m_state.userScale ? m_state.scaleTop : 0.0);
}

void PainterSurface::stroke(double x1, double y1, double x2, double y2, int color)
{
    const QColor colour = PaletteColor(color);
    const QPointF a = toPixels(x1, y1);
    const QPointF b = toPixels(x2, y2);
    paint([&](QPainter &painter) {
        // One device pixel wide on the box's own image; one logical pixel
        // wide, scaled with the picture, on an export.
        painter.setPen(QPen(colour, m_pixelScale == 1.0 ? 0.0 : 1.0));
        painter.setBrush(Qt::NoBrush);
        if (qRound(a.x()) == qRound(b.x()) || qRound(a.y()) == qRound(b.y()))
            painter.drawLine(a, b);
        else
            painter.drawRect(QRectF(a, b).normalized());
    });
}

void PainterSurface::line(double x1, double y1, double x2, double y2, int color)
{
    const QColor colour = PaletteColor(color);
    const QPointF a = toPixels(x1, y1);
    const QPointF b = toPixels(x2, y2);
    paint([&](QPainter &painter) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(colour, 1.5));
        painter.drawLine(a, b);
        painter.restore();
    });
}

void PainterSurface::fillRect(double x1, double y1, double x2, double y2, int color)
{
    const QColor colour = PaletteColor(color);
    const QRectF area = QRectF(toPixels(x1, y1), toPixels(x2, y2)).normalized();
    paint([&](QPainter &painter) { painter.fillRect(area, colour); });
}

void PainterSurface::dot(double x, double y, double pixels, int color)
{
    const QColor colour = PaletteColor(color);
    const QPointF centre = toPixels(x, y);
    paint([&](QPainter &painter) {
        painter.fillRect(QRectF(centre.x() - pixels / 2, centre.y() - pixels / 2, pixels, pixels), colour);
    });
}

void PainterSurface::circle(double x, double y, double radius, int color)
{
    const QColor colour = PaletteColor(color);
    const QPointF centre = toPixels(x, y);
    const double across = std::abs(toPixels(x + radius, y).x() - centre.x());
    paint([&](QPainter &painter) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(colour, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, across, across);
        painter.restore();
    });
}

double PainterSurface::textWidth(const std::string &text) const
{
    return pixelsToUserX(resolvedFont().metrics->horizontalAdvance(QString::fromStdString(text)));
}

double PainterSurface::textHeight() const
{
    return pixelsToUserY(resolvedFont().metrics->height());
}

void PainterSurface::print(const std::string &text, bool lineEnd)
{
    const QString shown = QString::fromStdString(text);
    const ResolvedFont &resolved = resolvedFont();
    const QFont &font = resolved.font;
    const QFontMetricsF &metrics = *resolved.metrics;
    if (!shown.isEmpty()) {
        const QPointF top = toPixels(m_state.currentX, m_state.currentY);
        paint([&](QPainter &painter) {
            painter.setFont(font);
            painter.setPen(PaletteColor(m_state.foreColor));
            painter.drawText(QPointF(top.x(), top.y() + metrics.ascent()), shown);
        });
    }
    if (lineEnd) {
        m_state.currentX = static_cast<float>(m_state.userScale ? m_state.scaleLeft : 0.0);
        m_state.currentY = static_cast<float>(m_state.currentY + pixelsToUserY(metrics.height()));
    } else {
        m_state.currentX = static_cast<float>(m_state.currentX + pixelsToUserX(metrics.horizontalAdvance(shown)));
    }
}

QPointF PainterSurface::toPixels(double x, double y) const
{
    constexpr double twipsPerPixel = 15;
    if (!m_state.userScale)
        return {x / twipsPerPixel, y / twipsPerPixel};
    return {(x - m_state.scaleLeft) * m_pixels.width() / m_state.scaleWidth,
            (y - m_state.scaleTop) * m_pixels.height() / m_state.scaleHeight};
}

double PainterSurface::pixelsToUserX(double pixels) const
{
    if (!m_state.userScale)
        return pixels * 15;
    return m_pixels.width() > 0 ? pixels * m_state.scaleWidth / m_pixels.width() : 0.0;
}

double PainterSurface::pixelsToUserY(double pixels) const
{
    if (!m_state.userScale)
        return pixels * 15;
    return m_pixels.height() > 0 ? pixels * m_state.scaleHeight / m_pixels.height() : 0.0;
}

QColor PainterSurface::background() const
{
    return m_state.backColor < 0 ? m_defaultBackground : PaletteColor(m_state.backColor);
}

const PainterSurface::ResolvedFont &PainterSurface::resolvedFont() const
{
    if (!m_resolved.metrics || m_resolved.name != m_state.fontName || m_resolved.size != m_state.fontSize ||
        m_resolved.device != m_device) {
        m_resolved.name = m_state.fontName;
        m_resolved.size = m_state.fontSize;
        m_resolved.device = m_device;
        m_resolved.font = drawingFont();
        m_resolved.metrics.emplace(m_resolved.font, m_device);
    }
    return m_resolved;
}

QFont PainterSurface::drawingFont() const
{
    QFont font(fontFamilyFor(m_state.fontName));
    font.setPointSizeF(m_state.fontSize);
    return font;
}

} // namespace tessarin
