#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

/// A fixed grid of bins over the plane of the Shepard diagram (given distance
/// across, map distance up) that counts pairs, so the density of any number
/// of pairs can be drawn from a few thousand counts.
class ShepardGrid {
public:
    ShepardGrid() = default;
    /// `columns` bins over given distances givenLow..givenHigh and `rows`
    /// bins over map distances mapLow..mapHigh, all counts 0. An empty or
    /// reversed extent is widened to one unit above its low end.
    ShepardGrid(int columns, int rows, double givenLow, double givenHigh, double mapLow, double mapHigh);

    /// Counts one pair. A value beyond an end of the grid (rounding at the
    /// top edge) goes to the bin at that end, so every pair is counted once.
    void add(double given, double map)
    {
        ++m_counts[static_cast<std::size_t>(Bin(map, m_mapLow, m_rowScale, m_rows)) * m_columns +
                   Bin(given, m_givenLow, m_columnScale, m_columns)];
    }
    /// Adds counts made elsewhere with Bin() on this grid's numbers, in the
    /// grid's order (row by row); they must be columns() * rows() of them.
    void addCounts(const std::vector<std::uint32_t> &counts);

    /// The bin of `value` on an axis from `low` with `scale` bins a unit.
    static int Bin(double value, double low, double scale, int bins)
    {
        const double at = (value - low) * scale;
        // Compared as doubles first: converting an out-of-range double to int
        // is undefined.
        if (!(at >= 0))
            return 0;
        if (at >= bins)
            return bins - 1;
        return static_cast<int>(at);
    }

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    double givenLow() const { return m_givenLow; }
    double givenHigh() const { return m_givenHigh; }
    double mapLow() const { return m_mapLow; }
    double mapHigh() const { return m_mapHigh; }
    /// Pairs in the bin of column c (0 at givenLow) and row r (0 at mapLow).
    std::uint32_t count(int column, int row) const
    {
        return m_counts[static_cast<std::size_t>(row) * m_columns + static_cast<std::size_t>(column)];
    }
    /// The largest count of a bin, 0 for an empty grid.
    std::uint32_t largestCount() const;
    /// All pairs counted.
    std::uint64_t total() const;

private:
    int m_columns = 0;
    int m_rows = 0;
    double m_givenLow = 0, m_givenHigh = 0, m_mapLow = 0, m_mapHigh = 0;
    double m_columnScale = 0, m_rowScale = 0; // bins per unit
    std::vector<std::uint32_t> m_counts;      // row by row, row 0 first
};

} // namespace tessarin
