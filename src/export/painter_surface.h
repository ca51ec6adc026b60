#pragma once

#include "display/drawing_surface.h"
#include "export/text_raster_cache.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

class QPaintDevice;
class QPainter;

namespace tessarin {

/// A drawing surface over any paint device: the picture box's backing image,
/// or an image or SVG generator an export draws the same picture on again.
/// Positions map onto a box `pixels` logical pixels wide and high; each
/// logical pixel covers `pixelScale` device pixels, so a drawing at scale 2
/// is the same picture at twice the resolution. Point sizes are measured at
/// the device's logical resolution, which should be 96 dots an inch.
class PainterSurface : public DrawingSurface {
public:
    /// The smallest point size text is drawn at; a smaller size in force
    /// (from 0 up to this) is drawn at this size.
    static constexpr float SmallestPointSize = 1.0f;
    /// The largest point size the surface accepts.
    static constexpr float LargestPointSize = 2048.0f;
    /// The measured advances kept for one font, in bytes, before they are
    /// forgotten: some 40000 texts.
    static constexpr std::size_t AdvanceBytes = std::size_t(4) << 20;

    PainterSurface() = default;
    PainterSurface(QPaintDevice *device, QSize pixels, QSizeF twips, double pixelScale = 1.0);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface &) = delete;
    PainterSurface &operator=(const PainterSurface &) = delete;

    /// Points the surface at another device; the drawing state stays.
    void setTarget(QPaintDevice *device, QSize pixels, QSizeF twips, double pixelScale = 1.0);
    /// The background while no colour index has been set.
    void setDefaultBackground(const QColor &colour) { m_defaultBackground = colour; }
    /// Keeps one painter open on the device until endPainting; without it
    /// each drawing call opens and ends its own. An SVG generator needs the
    /// one painter, as it writes its whole document when the painter ends.
    void beginPainting();
    void endPainting();

    /// On an RGB32 or ARGB32 image at pixel scale 1, prints stamp a raster of
    /// each distinct text made once (TextRasterCache) instead of laying the
    /// text out and rasterising it at every print; on by default. Off, every
    /// print goes through QPainter::drawText.
    void setTextStamps(bool on) { m_textStamps = on; }
    bool textStamps() const { return m_textStamps; }
    /// The bytes the stamps' rasters take now (TextRasterCache::bytes).
    std::size_t textStampBytes() const { return m_stamps.bytes(); }

    /// Takes over another surface's drawing state: scale, colours, font and
    /// print position, but not its device.
    void copyStateFrom(const PainterSurface &other) { m_state = other.m_state; }

    /// The background colour index, or -1 while none has been set.
    int backColor() const { return m_state.backColor; }
    QColor background() const;
    /// The font name as set (before any family substitution).
    const std::string &fontName() const { return m_state.fontName; }
    /// The font text is printed in: the named family or its stand-in, at the
    /// size in force.
    QFont drawingFont() const;

    void setScale(double left, double top, double right, double bottom) override;
    void setBackColor(int index) override;
    void setForeColor(int index) override;
    int foreColor() const override { return m_state.foreColor; }
    void setFontName(const std::string &name) override;
    void setFontSize(float points) override;
    float fontSize() const override { return m_state.fontSize; }
    void clear() override;
    void stroke(double x1, double y1, double x2, double y2, int color) override;
    void line(double x1, double y1, double x2, double y2, int color) override;
    void fillRect(double x1, double y1, double x2, double y2, int color) override;
    void dot(double x, double y, double pixels, int color) override;
    void circle(double x, double y, double radius, int color) override;
    double textWidth(const std::string &text) const override;
    double textHeight() const override;
    void setCurrentX(float x) override { m_state.currentX = x; }
    void setCurrentY(float y) override { m_state.currentY = y; }
    float currentX() const override { return m_state.currentX; }
    float currentY() const override { return m_state.currentY; }
    void print(const std::string &text, bool lineEnd) override;
    double outerWidth() const override { return m_twips.width(); }
    double outerHeight() const override { return m_twips.height(); }

private:
    struct State {
        // User scale: the top-left corner and the extent, as classic
        // ScaleLeft, ScaleTop, ScaleWidth and ScaleHeight.
        double scaleLeft = 0, scaleTop = 0, scaleWidth = 0, scaleHeight = 0;
        bool userScale = false;
        int backColor = -1;
        int foreColor = 0;
        QRgb foreRgb = 0xff000000u; // foreColor's colour, looked up once
        std::string fontName = "MS Sans Serif";
        float fontSize = 8.0f;
        float currentX = 0, currentY = 0;
    };

    bool canDraw() const;
    // The image prints stamp their texts on, or null when they are painted.
    QImage *stampTarget() const;
    // Runs `draw` with a painter on the device in logical pixels.
    template <class Draw> void paint(Draw &&draw);
    QPointF toPixels(double x, double y) const;
    double pixelsToUserX(double pixels) const;
    double pixelsToUserY(double pixels) const;

    State m_state;
    QPaintDevice *m_device = nullptr;
    QSize m_pixels;
    QSizeF m_twips;
    double m_pixelScale = 1.0;
    QColor m_defaultBackground = Qt::white;
    std::unique_ptr<QPainter> m_painter;
    // Between beginPainting and endPainting; the painter itself is ended
    // while texts are stamped straight into the image, and opened again by
    // the next painted call.
    bool m_session = false;
    bool m_textStamps = true;
    TextRasterCache m_stamps;

    // The font and its metrics for the current name, size and device, kept
    // between prints: resolving a font is far dearer than drawing its text.
    struct ResolvedFont {
        std::string name;
        float size = -1;
        const QPaintDevice *device = nullptr;
        QFont font;
        std::optional<QFontMetricsF> metrics;
        // Each distinct text's advance, in pixels: measuring lays the text out.
        mutable std::unordered_map<std::string, double> advances;
        mutable std::size_t advanceBytes = 0; // about, as node sizes go
        // Asking the metrics locks the font cache: asked once per font.
        double ascent = 0, height = 0;
    };
    double advance(const std::string &text) const;
    const ResolvedFont &resolvedFont() const;
    mutable ResolvedFont m_resolved;
    // Counts the fonts resolved, so that the stamps change font only when
    // the resolved one does.
    mutable unsigned m_resolvedSerial = 0;
    unsigned m_stampedFont = ~0u;
};

} // namespace tessarin
