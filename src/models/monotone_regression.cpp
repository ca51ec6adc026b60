#include "models/monotone_regression.h"

#include "data/tessarin_error.h"

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
        if (q - p > 1) {
            m_tieBlocks.push_back(p);
            m_tieBlocks.push_back(q);
        }
        m_blockEnds.push_back(q);
        p = q;
    }
    m_sequence.resize(m_order.size());
    for (std::size_t p = 0; p < m_sequence.size(); ++p)
        m_sequence[p] = static_cast<std::uint32_t>(p);
    m_pools.resize(m_order.size());
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

double MonotoneRegression::fitOrdered(const double *ordered, double *fitted)
{
    const double *w = m_weights.empty() ? nullptr : m_weights.data();
    auto weightAt = [w](std::size_t p) { return w ? w[p] : 1.0; };
    const std::uint32_t *item = m_order.data();

    if (m_ties == TieApproach::Primary) {
        // A total order (value, then item): the same result whatever order
        // the previous call left the block in.
        for (std::size_t t = 0; t < m_tieBlocks.size(); t += 2)
            std::sort(m_sequence.begin() + static_cast<std::ptrdiff_t>(m_tieBlocks[t]),
                      m_sequence.begin() + static_cast<std::ptrdiff_t>(m_tieBlocks[t + 1]),
                      [ordered, item](std::uint32_t a, std::uint32_t b) {
                          return ordered[a] < ordered[b] || (ordered[a] == ordered[b] && item[a] < item[b]);
                      });
    }

    // The pools as a stack in three arrays; a new entry pools with the top
    // while the top's mean is larger.
    Pool *pools = m_pools.data();
    std::size_t top = 0; // number of pools
    auto push = [pools, &top](double weighted, double weight, std::size_t end) {
        while (top > 0 && pools[top - 1].weighted * weight > weighted * pools[top - 1].weight) {
            --top;
            weighted = pools[top].weighted + weighted;
            weight = pools[top].weight + weight;
        }
        pools[top++] = Pool{weighted, weight, end};
    };
    if (m_ties == TieApproach::Primary) {
        const std::size_t size = m_sequence.size();
        const std::uint32_t *sequence = m_sequence.data();
        if (w) {
            for (std::size_t k = 0; k < size; ++k) {
                const std::uint32_t p = sequence[k];
                push(w[p] * ordered[p], w[p], k + 1);
            }
        } else {
            for (std::size_t k = 0; k < size; ++k)
                push(ordered[sequence[k]], 1.0, k + 1);
        }
    } else {
        std::size_t p = 0;
        for (std::size_t end : m_blockEnds) {
            double weighted = 0.0, weight = 0.0;
            for (; p < end; ++p) {
                const double wp = weightAt(p);
                weighted = weighted + wp * ordered[p];
                weight = weight + wp;
            }
            push(weighted, weight, end);
        }
    }
    m_poolCount = top;

    double squares = 0.0;
    std::size_t k = 0;
    for (std::size_t q = 0; q < m_poolCount; ++q) {
        const Pool &pool = m_pools[q];
        const double level = pool.weighted / pool.weight;
        // Outside tie blocks m_sequence is the identity; the secondary
        // approach never reorders it.
        for (; k < pool.end; ++k)
            fitted[m_sequence[k]] = level;
        squares = squares + level * level * pool.weight;
    }
    return squares;
}

} // namespace tessarin
