#include "explorer/map_history.h"

#include <cstring>

namespace tessarin {

bool MapHistory::SameBytes(const Layout &a, const Layout &b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

bool MapHistory::record(const Layout &map)
{
    if (!m_maps.empty() && SameBytes(m_maps[m_current], map))
        return false;
    if (!m_maps.empty())
        m_maps.resize(m_current + 1);
    m_maps.push_back(map);
    if (m_maps.size() > m_capacity)
        m_maps.erase(m_maps.begin(), m_maps.begin() + static_cast<std::ptrdiff_t>(m_maps.size() - m_capacity));
    m_current = m_maps.size() - 1;
    return true;
}

const Layout &MapHistory::undo()
{
    if (canUndo())
        --m_current;
    return m_maps[m_current];
}

const Layout &MapHistory::redo()
{
    if (canRedo())
        ++m_current;
    return m_maps[m_current];
}

void MapHistory::clear()
{
    m_maps.clear();
    m_current = 0;
}

bool MapHistory::restore(std::vector<Layout> maps, std::size_t position)
{
    if (maps.empty() ? position != 0 : position >= maps.size())
        return false;
    m_maps = std::move(maps);
    if (m_maps.size() > m_capacity) {
        const std::size_t drop = m_maps.size() - m_capacity;
        if (position < drop)
            return false;
        m_maps.erase(m_maps.begin(), m_maps.begin() + static_cast<std::ptrdiff_t>(drop));
        position -= drop;
    }
    m_current = position;
    return true;
}

} // namespace tessarin
