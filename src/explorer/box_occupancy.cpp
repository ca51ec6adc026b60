#include "explorer/box_occupancy.h"

#include <algorithm>
#include <cmath>

namespace tessarin {

BoxOccupancy::BoxOccupancy(double width, double height, double cell)
    : m_cell(std::max(cell, 4.0)), m_columns(static_cast<int>(std::ceil(std::max(width, 0.0) / m_cell)) + 1),
      m_rows(static_cast<int>(std::ceil(std::max(height, 0.0) / m_cell)) + 1),
      m_cells(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows))
{
}

void BoxOccupancy::add(const ScreenRect &box)
{
    const int id = static_cast<int>(m_boxes.size());
    m_boxes.push_back(box);
    for (int r = row(box.top); r <= row(box.bottom()); ++r)
        for (int c = column(box.left); c <= column(box.right()); ++c)
            m_cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(c)]
                .push_back(id);
}

bool BoxOccupancy::free(const ScreenRect &box) const
{
    for (int r = row(box.top); r <= row(box.bottom()); ++r)
        for (int c = column(box.left); c <= column(box.right()); ++c)
            for (int id : m_cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(m_columns) +
                                  static_cast<std::size_t>(c)])
                if (m_boxes[static_cast<std::size_t>(id)].overlaps(box))
                    return false;
    return true;
}

int BoxOccupancy::column(double x) const
{
    return std::clamp(static_cast<int>(std::floor(x / m_cell)), 0, m_columns - 1);
}

int BoxOccupancy::row(double y) const
{
    return std::clamp(static_cast<int>(std::floor(y / m_cell)), 0, m_rows - 1);
}

} // namespace tessarin
