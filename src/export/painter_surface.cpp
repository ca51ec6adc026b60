#include "export/painter_surface.h"

#include "base/tessarin_error.h"
#include "display/twips.h"
#include "export/palette.h"

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
    m_stamps.flush();
    if (m_painter && device != m_device) {
        m_painter->end();
        m_painter.reset();
    }
    m_device = device;
    m_pixels = pixels;
    m_twips = twips;
    m_pixelScale = pixelScale;
}

void PainterSurface::beginPainting()
{
    m_session = true;
}

void PainterSurface::endPainting()
{
    m_stamps.flush();
    m_session = false;
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
    m_stamps.flush(); // what is painted now goes over the stamps before it
    if (m_session && !m_painter) {
        m_painter = std::make_unique<QPainter>(m_device);
        m_painter->scale(m_pixelScale, m_pixelScale);
    }
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
    m_state.foreRgb = PaletteColor(index).rgb();
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

QImage *PainterSurface::stampTarget() const
{
    if (!m_textStamps || m_pixelScale != 1.0 || !canDraw() || m_device->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(m_device);
    const QImage::Format format = image->format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ? image : nullptr;
}

void PainterSurface::print(const std::string &text, bool lineEnd)
{
    const ResolvedFont &resolved = resolvedFont();
    QImage *image = text.empty() ? nullptr : stampTarget();
    TextRasterCache::Entry *stamp = nullptr;
    if (image) {
        if (m_stampedFont != m_resolvedSerial) {
            m_stamps.setFont(resolved.font, m_device);
            m_stampedFont = m_resolvedSerial;
        }
        stamp = &m_stamps.entry(text);
        // A text too large to keep is painted as any other.
        if (!m_stamps.canStamp(*stamp, text))
            image = nullptr;
    }
    if (!text.empty()) {
        const QPointF top = toPixels(m_state.currentX, m_state.currentY);
        const QPointF origin(top.x(), top.y() + resolved.ascent);
        if (image) {
            if (m_painter) {
                // Written straight into the image from here on: the painter
                // must not hold a stale view of it.
                m_painter->end();
                m_painter.reset();
            }
            const QRgb colour = m_state.foreRgb;
            if (m_session)
                m_stamps.queue(*image, origin, *stamp, text, colour);
            else
                m_stamps.draw(*image, origin, *stamp, text, colour);
        } else {
            const QString shown = QString::fromStdString(text);
            paint([&](QPainter &painter) {
                painter.setFont(resolved.font);
                painter.setPen(PaletteColor(m_state.foreColor));
                painter.drawText(origin, shown);
            });
        }
    }
    if (lineEnd) {
        m_state.currentX = static_cast<float>(m_state.userScale ? m_state.scaleLeft : 0.0);
        m_state.currentY = static_cast<float>(m_state.currentY + pixelsToUserY(resolved.height));
    } else {
        const double width = stamp ? m_stamps.advance(*stamp, text) : advance(text);
        m_state.currentX = static_cast<float>(m_state.currentX + pixelsToUserX(width));
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
        return pixels * TwipsPerPixel;
    return m_pixels.width() > 0 ? pixels * m_state.scaleWidth / m_pixels.width() : 0.0;
}

double PainterSurface::pixelsToUserY(double pixels) const
{
    if (!m_state.userScale)
        return pixels * TwipsPerPixel;
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
        m_resolved.advances.clear();
        m_resolved.advanceBytes = 0;
        m_resolved.ascent = m_resolved.metrics->ascent();
        m_resolved.height = m_resolved.metrics->height();
        ++m_resolvedSerial;
    }
    return m_resolved;
}

double PainterSurface::advance(const std::string &text) const
{
    const ResolvedFont &resolved = resolvedFont();
    // Bounded as the stamps are: past the bound, measured afresh.
    constexpr std::size_t node = sizeof(std::string) + sizeof(double) + 3 * sizeof(void *);
    if (resolved.advanceBytes > AdvanceBytes) {
        resolved.advances.clear();
        resolved.advanceBytes = 0;
    }
    auto [known, added] = resolved.advances.try_emplace(text, 0.0);
    if (added) {
        known->second = resolved.metrics->horizontalAdvance(QString::fromStdString(text));
        resolved.advanceBytes += node + (text.size() > 15 ? text.size() + 1 : 0);
    }
    return known->second;
}

QFont PainterSurface::drawingFont() const
{
    QFont font(fontFamilyFor(m_state.fontName));
    font.setPointSizeF(m_state.fontSize);
    return font;
}

} // namespace tessarin
