#pragma once

#include "display/drawing_surface.h"
#include "display/twips.h"
#include "export/painter_surface.h"

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

namespace tessarin {

/// A picture box: a widget that is a DrawingSurface. Every drawing goes into a
/// backing image, so it survives covering and uncovering; a resize keeps the
/// part of the drawing that still fits. Geometry is in twips, 15 twips to a
/// logical pixel. The drawing itself is done by a PainterSurface on the
/// backing image, the same kind of surface an export draws on. A box whose
/// image would pass the image limits (ImageFits) has no image; it shows its
/// background, and every drawing call throws TessarinError saying so.
class PictureBox : public QWidget, public DrawingSurface {
    Q_OBJECT

public:
    /// The smallest point size text is drawn at; a smaller size in force
    /// (from 0 up to this) is drawn at this size.
    static constexpr float SmallestPointSize = PainterSurface::SmallestPointSize;
    /// The largest point size the surface accepts.
    static constexpr float LargestPointSize = PainterSurface::LargestPointSize;

    explicit PictureBox(QWidget *parent = nullptr);

    /// Places the box in its parent's client area; all values in twips.
    void setTwipsGeometry(double left, double top, double width, double height);
    double twipsLeft() const { return m_twipsLeft; }
    double twipsTop() const { return m_twipsTop; }

    /// The drawing as it stands.
    const QImage &image() const;
    /// The background colour index, or -1 while none has been set.
    int backColor() const { return m_surface.backColor(); }
    /// The font name as set (before any family substitution).
    const std::string &fontName() const { return m_surface.fontName(); }
    /// The font text is printed in: the named family or its stand-in, at the
    /// size in force.
    QFont drawingFont() const { return m_surface.drawingFont(); }
    /// The surface on the backing image, with the drawing state in force; an
    /// export copies that state to draw the same picture again.
    const PainterSurface &surface() const;
    /// Whether prints stamp cached text rasters (PainterSurface::setTextStamps).
    void setTextStamps(bool on) { m_surface.setTextStamps(on); }

    /// What a long drawing calls between two prints about every
    /// PauseMilliseconds; false asks the drawing to end (stopped()).
    using Pause = std::function<bool()>;
    static constexpr int PauseMilliseconds = 40;

    /// Keeps one painter open on the backing image until endDrawing(), for a
    /// view that draws many items in one go. The drawing processes no events
    /// of its own; `pause`, when given, is called between prints at most
    /// every PauseMilliseconds, and whatever it does must leave the box's
    /// size alone.
    void beginDrawing(Pause pause = {});
    void endDrawing();

    void setScale(double left, double top, double right, double bottom) override;
    void setBackColor(int index) override;
    void setForeColor(int index) override;
    int foreColor() const override { return m_surface.foreColor(); }
    void setFontName(const std::string &name) override;
    void setFontSize(float points) override;
    float fontSize() const override { return m_surface.fontSize(); }
    void clear() override;
    void stroke(double x1, double y1, double x2, double y2, int color) override;
    void line(double x1, double y1, double x2, double y2, int color) override;
    void fillRect(double x1, double y1, double x2, double y2, int color) override;
    void dot(double x, double y, double pixels, int color) override;
    void circle(double x, double y, double radius, int color) override;
    double textWidth(const std::string &text) const override { return surface().textWidth(text); }
    double textHeight() const override { return surface().textHeight(); }
    void setCurrentX(float x) override { m_surface.setCurrentX(x); }
    void setCurrentY(float y) override { m_surface.setCurrentY(y); }
    float currentX() const override { return m_surface.currentX(); }
    float currentY() const override { return m_surface.currentY(); }
    void print(const std::string &text, bool lineEnd) override;
    double outerWidth() const override;
    double outerHeight() const override;
    /// True once the pause of the drawing under way has returned false.
    bool stopped() const override { return m_stopped; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Brings the backing image to the widget's size, keeping what fits. Also
    // run before drawing, as a hidden widget gets no resize events.
    // The image is brought to size and the surface pointed at it.
    void syncImage() const;
    // The surface, synced, for a drawing call.
    PainterSurface &drawing();

    mutable QImage m_image;
    // Why there is no image of the box's size, when its size was refused
    // (ImageFits) or its memory was: every drawing call then throws it.
    mutable std::string m_refusal;
    mutable QSize m_refusedSize;
    // Between beginDrawing and endDrawing: no events are processed, so the
    // size cannot change and one repaint at the end does for every call.
    bool m_drawing = false;
    Pause m_pause;
    bool m_stopped = false;
    int m_printsSincePause = 0;
    QElapsedTimer m_sincePause;
    mutable PainterSurface m_surface;
    double m_twipsLeft = 0, m_twipsTop = 0, m_twipsWidth = 0, m_twipsHeight = 0;
};

} // namespace tessarin
