#include "io/named_table_builder.h"

#include "io/distance_cell.h"
#include "io/distance_reader.h"
#include "data/distance_statistics.h"
#include "data/pair_weights.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <new>
#include <utility>
#include <unordered_map>

namespace tessarin {

void NamedTableBuilder::begin(int itemCount, const std::string &where, bool withTable)
{
    if (itemCount < 2)
        throw TessarinError(where + ": " + std::to_string(itemCount) +
                            (itemCount == 1 ? " item" : " items") + ": a map needs at least two items");
    if (itemCount > MaxItemCount)
        throw TessarinError(where + ": " + std::to_string(itemCount) + " items are " + MoreThanItemLimit());
    m_data = DistanceData{};
    m_data.ItemCount = static_cast<short>(itemCount);
    if (!withTable)
        return;
    const std::size_t side = static_cast<std::size_t>(itemCount) + 1;
    try {
        m_data.Distances.assign(side * side, 0.0f);
    } catch (const std::bad_alloc &) {
        throw TessarinError(m_fileName + ": not enough memory for a table of " + std::to_string(itemCount) +
                            " items");
    }
}

void NamedTableBuilder::setNames(std::vector<std::string> names, const std::vector<long> &lines)
{
    auto lineOf = [&](std::size_t k) {
        return k < lines.size() && lines[k] > 0 ? ", line " + std::to_string(lines[k]) : std::string();
    };
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (names[k].empty())
            throw TessarinError(m_fileName + lineOf(k) + ": item " + std::to_string(k + 1) + " has no name");
        auto [at, added] = seen.emplace(names[k], k);
        if (!added)
            throw TessarinError(m_fileName + lineOf(k) + ": items " + std::to_string(at->second + 1) + " and " +
                                std::to_string(k + 1) + " are both named " + ShownText(names[k]) +
                                "; each item needs a name of its own");
    }
    m_data.Names = std::move(names);
}

void NamedTableBuilder::setPair(int i, int j, float value)
{
    if (!hasTable())
        return;
    const std::size_t side = static_cast<std::size_t>(m_data.ItemCount) + 1;
    m_data.Distances[static_cast<std::size_t>(i) * side + static_cast<std::size_t>(j)] = value;
    m_data.Distances[static_cast<std::size_t>(j) * side + static_cast<std::size_t>(i)] = value;
}

namespace {

std::size_t pairIndex(int n, int i, int j)
{
    if (i > j)
        std::swap(i, j);
    const std::size_t row = static_cast<std::size_t>(i) - 1;
    return row * (2 * static_cast<std::size_t>(n) - row - 1) / 2 + static_cast<std::size_t>(j - i - 1);
}

} // namespace

void NamedTableBuilder::setMissing(int i, int j)
{
    if (!hasTable())
        return;
    const int n = m_data.ItemCount;
    if (m_missing.empty())
        m_missing.assign(static_cast<std::size_t>(n) * (n - 1) / 2, 0);
    m_missing[pairIndex(n, i, j)] = 1;
    setPair(i, j, 0.0f);
}

bool NamedTableBuilder::isMissing(int i, int j) const
{
    return !m_missing.empty() && m_missing[pairIndex(m_data.ItemCount, i, j)] != 0;
}

float NamedTableBuilder::pair(int i, int j) const { return hasTable() ? m_data.distance(i, j) : 0.0f; }

DistanceData NamedTableBuilder::finish()
{
    if (!hasTable())
        throw TessarinError(m_fileName + ": the file changed while it was read");
    const std::size_t side = static_cast<std::size_t>(m_data.ItemCount) + 1;
    for (std::size_t i = 1; i < side; ++i)
        m_data.Distances[i * side + i] = 0.0f;
    ComputeDistanceStatistics(m_data, m_fileName);
    m_data.packPairs();
    if (!m_missing.empty()) {
        std::vector<float> weights(m_missing.size());
        for (std::size_t p = 0; p < m_missing.size(); ++p)
            weights[p] = m_missing[p] ? 0.0f : 1.0f;
        m_missing.clear();
        SetPairWeights(m_data, std::move(weights), m_fileName);
    }
    return std::move(m_data);
}

} // namespace tessarin
