#pragma once

#include "window/picture_box.h"

#include <utility>

namespace tessarin {

/// Draws a whole view with one painter on the box, however it ends.
class DrawingScope {
public:
    explicit DrawingScope(PictureBox &box, PictureBox::Pause pause = {}) : m_box(box)
    {
        m_box.beginDrawing(std::move(pause));
    }
    ~DrawingScope() { m_box.endDrawing(); }
    DrawingScope(const DrawingScope &) = delete;
    DrawingScope &operator=(const DrawingScope &) = delete;

private:
    PictureBox &m_box;
};

} // namespace tessarin
