#pragma once

#include "base/tessarin_error.h"
#include "display/drawing_surface.h"

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace tessarin::testing {

/// A drawing surface that records every call as a line of text, and keeps
/// just enough state to answer the read-back calls.
class RecordingSurface : public DrawingSurface {
public:
    std::vector<std::string> calls;
    double width = 5000;
    double height = 5000;
    /// The smallest font size the surface reports back.
    float smallestFont = 0;
    /// The surface asks the drawing to end once it has recorded this many
    /// prints (never when 0).
    std::size_t stopAfterPrints = 0;

    void setScale(double l, double t, double r, double b) override { record("scale", l, t, r, b); }
    void setBackColor(int index) override
    {
        check(index);
        record("back", index);
    }
    void setForeColor(int index) override
    {
        check(index);
        m_fore = index;
        record("fore", index);
    }
    int foreColor() const override { return m_fore; }
    void setFontName(const std::string &name) override { calls.push_back("font " + name); }
    void setFontSize(float points) override
    {
        if (points < 0)
            throw TessarinError("a negative font size");
        m_font = points < smallestFont ? smallestFont : points;
        record("size", points);
    }
    float fontSize() const override { return m_font; }
    void clear() override { calls.push_back("clear"); }
    void stroke(double x1, double y1, double x2, double y2, int color) override
    {
        record("stroke", x1, y1, x2, y2, color);
    }
    void line(double x1, double y1, double x2, double y2, int color) override
    {
        record("line", x1, y1, x2, y2, color);
    }
    void fillRect(double x1, double y1, double x2, double y2, int color) override
    {
        record("fill", x1, y1, x2, y2, color);
    }
    void dot(double x, double y, double pixels, int color) override { record("dot", x, y, pixels, color); }
    void circle(double x, double y, double radius, int color) override { record("circle", x, y, radius, color); }
    /// Every character is 10 units wide and a line 20 units high.
    double textWidth(const std::string &text) const override { return 10.0 * static_cast<double>(text.size()); }
    double textHeight() const override { return 20.0; }
    void setCurrentX(float x) override { m_x = x; }
    void setCurrentY(float y) override { m_y = y; }
    float currentX() const override { return m_x; }
    float currentY() const override { return m_y; }
    void print(const std::string &text, bool lineEnd) override
    {
        std::ostringstream line;
        line << "print " << m_x << " " << m_y << " [" << text << "]" << (lineEnd ? " end" : "");
        calls.push_back(line.str());
        ++m_prints;
    }
    double outerWidth() const override { return width; }
    double outerHeight() const override { return height; }
    bool stopped() const override { return stopAfterPrints > 0 && m_prints >= stopAfterPrints; }

    /// The recorded calls that start with `prefix`.
    std::vector<std::string> only(const std::string &prefix) const
    {
        std::vector<std::string> result;
        for (const auto &c : calls)
            if (c.rfind(prefix, 0) == 0)
                result.push_back(c);
        return result;
    }

private:
    static void check(int index)
    {
        if (index < 0 || index > 15)
            throw TessarinError("not a colour index");
    }
    template <typename... T>
    void record(const char *name, T... values)
    {
        std::ostringstream line;
        line << name;
        ((line << " " << values), ...);
        calls.push_back(line.str());
    }

    int m_fore = 0;
    float m_font = 0;
    float m_x = 0;
    float m_y = 0;
    std::size_t m_prints = 0;
};

} // namespace tessarin::testing
