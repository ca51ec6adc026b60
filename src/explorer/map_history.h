#pragma once

#include "data/layout.h"

#include <cstddef>
#include <vector>

namespace tessarin {

/// The maps the commands produced, oldest first, with the one in force
/// marked: Undo steps back to the map before it, Redo forward again. A new
/// map drops the maps after the one in force; beyond the capacity the oldest
/// go. Maps are kept and compared byte for byte.
class MapHistory {
public:
    static constexpr std::size_t DefaultCapacity = 100;

    explicit MapHistory(std::size_t capacity = DefaultCapacity) : m_capacity(capacity < 2 ? 2 : capacity) {}

    /// Adds `map` as the map in force, unless it is the map in force already
    /// (the same bytes). Returns whether it was added.
    bool record(const Layout &map);
    bool canUndo() const { return m_current > 0; }
    bool canRedo() const { return m_current + 1 < m_maps.size(); }
    /// Steps back or forward; returns the map then in force. Call only when
    /// canUndo() or canRedo() holds.
    const Layout &undo();
    const Layout &redo();
    void clear();

    bool empty() const { return m_maps.empty(); }
    std::size_t size() const { return m_maps.size(); }
    std::size_t capacity() const { return m_capacity; }
    /// The index of the map in force (0 when empty).
    std::size_t position() const { return m_current; }
    const std::vector<Layout> &maps() const { return m_maps; }
    /// Replaces the whole history, `position` marking the map in force;
    /// false (and nothing changed) when `position` is out of range.
    bool restore(std::vector<Layout> maps, std::size_t position);

    /// Whether two maps hold the same bytes.
    static bool SameBytes(const Layout &a, const Layout &b);

private:
    std::size_t m_capacity;
    std::vector<Layout> m_maps;
    std::size_t m_current = 0;
};

} // namespace tessarin
