#include "diagnostics/shepard_grid.h"

#include "base/tessarin_error.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace tessarin {

ShepardGrid::ShepardGrid(int columns, int rows, double givenLow, double givenHigh, double mapLow, double mapHigh)
    : m_columns(columns), m_rows(rows), m_givenLow(givenLow), m_givenHigh(givenHigh), m_mapLow(mapLow),
      m_mapHigh(mapHigh)
{
    if (columns < 1 || rows < 1)
        throw TessarinError("a Shepard grid needs at least one bin each way, not " + std::to_string(columns) +
                            " by " + std::to_string(rows));
    if (!(m_givenHigh > m_givenLow))
        m_givenHigh = m_givenLow + 1;
    if (!(m_mapHigh > m_mapLow))
        m_mapHigh = m_mapLow + 1;
    m_columnScale = columns / (m_givenHigh - m_givenLow);
    m_rowScale = rows / (m_mapHigh - m_mapLow);
    m_counts.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0);
}

void ShepardGrid::addCounts(const std::vector<std::uint32_t> &counts)
{
    if (counts.size() != m_counts.size())
        throw TessarinError("Shepard grid counts of another size: " + std::to_string(counts.size()) + " for " +
                            std::to_string(m_counts.size()) + " bins");
    for (std::size_t k = 0; k < counts.size(); ++k)
        m_counts[k] += counts[k];
}

std::uint32_t ShepardGrid::largestCount() const
{
    return m_counts.empty() ? 0 : *std::max_element(m_counts.begin(), m_counts.end());
}

std::uint64_t ShepardGrid::total() const
{
    return std::accumulate(m_counts.begin(), m_counts.end(), std::uint64_t{0});
}

} // namespace tessarin
