#pragma once

#include "explorer/screen_rect.h"

#include <vector>

namespace tessarin {

/// The boxes taken so far on a picture (labels, markers, a legend), filed in
/// square cells, a box in every cell it touches, so that a test for a free
/// place looks only at the boxes near it. Boxes beyond the picture are
/// filed in its edge cells.
class BoxOccupancy {
public:
    /// A picture of `width` x `height` pixels in cells of side `cell` (at
    /// least 4).
    BoxOccupancy(double width, double height, double cell);

    void add(const ScreenRect &box);
    /// True when `box` overlaps no box added.
    bool free(const ScreenRect &box) const;

private:
    int column(double x) const;
    int row(double y) const;

    double m_cell;
    int m_columns;
    int m_rows;
    std::vector<std::vector<int>> m_cells;
    std::vector<ScreenRect> m_boxes;
};

} // namespace tessarin
