#pragma once

#include "base/str_n.h"

#include <string>

namespace tessarin {

/// The drawing surface of a picture box, with just what the table and map
/// views use. Positions are in the user scale set by setScale; colours are
/// palette indices 0..15; font sizes are points; outer sizes are twips.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    /// Maps (left, top) to the top-left and (right, bottom) to the
    /// bottom-right corner of the surface.
    virtual void setScale(double left, double top, double right, double bottom) = 0;
    /// Throws TessarinError for an index outside 0..15.
    virtual void setBackColor(int index) = 0;
    virtual void setForeColor(int index) = 0;
    virtual int foreColor() const = 0;
    virtual void setFontName(const std::string &name) = 0;
    /// Throws TessarinError for a negative or unusable size.
    virtual void setFontSize(float points) = 0;
    /// The size in force, which may differ from the one set.
    virtual float fontSize() const = 0;
    /// Fills with the background colour; the print position goes to the
    /// top-left corner of the scale.
    virtual void clear() = 0;
    /// The outline of the rectangle between two corners, in a palette colour;
    /// a flat rectangle shows as one line.
    virtual void stroke(double x1, double y1, double x2, double y2, int color) = 0;
    /// The straight segment between two points, in a palette colour.
    virtual void line(double x1, double y1, double x2, double y2, int color) = 0;
    /// Fills the rectangle between two corners with a palette colour.
    virtual void fillRect(double x1, double y1, double x2, double y2, int color) = 0;
    /// A small filled square centred on (x, y), `pixels` logical pixels a
    /// side whatever the scale: one point of a scatter.
    virtual void dot(double x, double y, double pixels, int color) = 0;
    /// The outline of the circle around (x, y) whose radius spans `radius`
    /// units across (round on the device whatever the two scales).
    virtual void circle(double x, double y, double radius, int color) = 0;
    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;
    virtual float currentX() const = 0;
    virtual float currentY() const = 0;
    /// Prints `text` with the top of its line at the print position, in the
    /// foreground colour; a line end then moves the position to the left edge
    /// of the scale, one text line down.
    virtual void print(const std::string &text, bool lineEnd) = 0;
    /// Width and line height of `text` in the current font, in user units.
    virtual double textWidth(const std::string &text) const = 0;
    virtual double textHeight() const = 0;
    /// Outer size in twips (1/1440 inch).
    virtual double outerWidth() const = 0;
    virtual double outerHeight() const = 0;
    /// True once whoever shows the surface has asked a long drawing to end
    /// (its window is closing): a view then returns after the item it is
    /// drawing, its picture unfinished. A surface that is always drawn to the
    /// end never asks.
    virtual bool stopped() const { return false; }

    /// Prints a whole number in the number print form: sign place, digits,
    /// one blank (" 12 ", "-3 ").
    void printNumber(long long value, bool lineEnd) { print(NumberPrintForm(value), lineEnd); }
};

} // namespace tessarin
