#include "models/monotone_regression.h"

#include "base/tessarin_error.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tessarin {

namespace {

/// An unsigned integer in the order of the float (with -0 as +0).
std::uint32_t sortableBits(float key)
{
    if (key == 0.0f)
        key = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &key, sizeof bits);
    return (bits & 0x80000000u) ? ~bits : (bits | 0x80000000u);
}

} // namespace

MonotoneRegression::MonotoneRegression(const float *keys, std::size_t count, const double *weights, TieApproach ties)
    : m_count(count), m_ties(ties)
{
    if (count > std::size_t{0xffffffffu})
        throw TessarinError("monotone regression: " + std::to_string(count) + " pairs are more than it can order");
    // Key and index in one integer: sorting them is a stable sort by key.
    std::vector<std::uint64_t> keyed;
    keyed.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        if (!weights || weights[k] > 0.0)
            keyed.push_back(static_cast<std::uint64_t>(sortableBits(keys[k])) << 32 | k);
    std::sort(keyed.begin(), keyed.end());
    m_order.resize(keyed.size());
    for (std::size_t p = 0; p < keyed.size(); ++p)
        m_order[p] = static_cast<std::uint32_t>(keyed[p]);
    if (weights) {
        m_weights.resize(m_order.size());
        for (std::size_t p = 0; p < m_order.size(); ++p)
            m_weights[p] = weights[m_order[p]];
    }
    for (std::size_t p = 0; p < keyed.size();) {
        std::size_t q = p + 1;
        while (q < keyed.size() && (keyed[q] >> 32) == (keyed[p] >> 32))
            ++q;
        m_blockEnds.push_back(q);
        p = q;
    }
    m_sequence.resize(m_order.size());
    for (std::size_t p = 0; p < m_sequence.size(); ++p)
        m_sequence[p] = static_cast<std::uint32_t>(p);
    m_pools.resize(m_order.size());
    // The halves meet at the first block end at or past the middle.
    while (m_splitBlock < m_blockEnds.size() && 2 * m_blockEnds[m_splitBlock] < m_order.size())
        ++m_splitBlock;
    if (m_splitBlock < m_blockEnds.size())
        ++m_splitBlock;
}

double MonotoneRegression::fit(const double *values, double *fitted)
{
    const std::size_t size = m_order.size();
    m_orderedValues.resize(size);
    m_orderedFitted.resize(size);
    for (std::size_t p = 0; p < size; ++p)
        m_orderedValues[p] = values[m_order[p]];
    const double squares = fitOrdered(m_orderedValues.data(), m_orderedFitted.data());
    std::fill(fitted, fitted + m_count, 0.0);
    for (std::size_t p = 0; p < size; ++p)
        fitted[m_order[p]] = m_orderedFitted[p];
    return squares;
}

namespace {

/// Pushes one entry on a stack of pools, pooling it with the top while the
/// top's mean is larger; `top` counts the pools.
template <class Pool>
inline void pushPool(Pool *pools, std::size_t &top, double weighted, double weight, std::size_t end)
{
    while (top > 0 && pools[top - 1].weighted * weight > weighted * pools[top - 1].weight) {
        --top;
        weighted = pools[top].weighted + weighted;
        weight = pools[top].weight + weight;
    }
    pools[top++] = Pool{weighted, weight, end};
}

} // namespace

void MonotoneRegression::poolHalf(int half, const double *ordered)
{
    const std::size_t first = half == 0 ? 0 : m_splitBlock;
    const std::size_t end = half == 0 ? m_splitBlock : m_blockEnds.size();
    const std::size_t from = first == 0 ? 0 : m_blockEnds[first - 1];
    const double *w = m_weights.empty() ? nullptr : m_weights.data();
    const std::uint32_t *item = m_order.data();
    // Each half's stack starts at its first position: a half of k entries
    // never holds more than k pools.
    Pool *pools = m_pools.data() + from;
    std::size_t top = 0;
    if (m_ties == TieApproach::Primary) {
        // Each block of ties in a total order (value, then item): the same
        // result whatever order the previous call left the block in.
        for (std::size_t b = first; b < end; ++b) {
            const std::size_t blockFrom = b == 0 ? 0 : m_blockEnds[b - 1];
            if (m_blockEnds[b] - blockFrom > 1)
                std::sort(m_sequence.begin() + static_cast<std::ptrdiff_t>(blockFrom),
                          m_sequence.begin() + static_cast<std::ptrdiff_t>(m_blockEnds[b]),
                          [ordered, item](std::uint32_t a, std::uint32_t c) {
                              return ordered[a] < ordered[c] || (ordered[a] == ordered[c] && item[a] < item[c]);
                          });
        }
        const std::uint32_t *sequence = m_sequence.data();
        const std::size_t to = end == 0 ? 0 : m_blockEnds[end - 1];
        if (w) {
            for (std::size_t k = from; k < to; ++k) {
                const std::uint32_t p = sequence[k];
                pushPool(pools, top, w[p] * ordered[p], w[p], k + 1);
            }
        } else {
            for (std::size_t k = from; k < to; ++k)
                pushPool(pools, top, ordered[sequence[k]], 1.0, k + 1);
        }
    } else {
        std::size_t p = from;
        for (std::size_t b = first; b < end; ++b) {
            double weighted = 0.0, weight = 0.0;
            for (; p < m_blockEnds[b]; ++p) {
                const double wp = w ? w[p] : 1.0;
                weighted = weighted + wp * ordered[p];
                weight = weight + wp;
            }
            pushPool(pools, top, weighted, weight, m_blockEnds[b]);
        }
    }
    m_halfPools[half] = top;
}

double MonotoneRegression::finish(double *fitted)
{
    // The second half's pools, in order, onto the first half's stack.
    Pool *pools = m_pools.data();
    std::size_t top = m_halfPools[0];
    const std::size_t secondFrom = m_splitBlock == 0 ? 0 : m_blockEnds[m_splitBlock - 1];
    for (std::size_t q = 0; q < m_halfPools[1]; ++q) {
        const Pool pool = pools[secondFrom + q];
        pushPool(pools, top, pool.weighted, pool.weight, pool.end);
    }
    double squares = 0.0;
    std::size_t k = 0;
    for (std::size_t q = 0; q < top; ++q) {
        const Pool &pool = pools[q];
        const double level = pool.weighted / pool.weight;
        // Outside tie blocks m_sequence is the identity; the secondary
        // approach never reorders it.
        for (; k < pool.end; ++k)
            fitted[m_sequence[k]] = level;
        squares = squares + level * level * pool.weight;
    }
    return squares;
}

double MonotoneRegression::fitOrdered(const double *ordered, double *fitted)
{
    poolHalf(0, ordered);
    poolHalf(1, ordered);
    return finish(fitted);
}

} // namespace tessarin
