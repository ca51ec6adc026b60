#include "models/monotone_regression.h"

#include "data/tessarin_error.h"

#include <algorithm>
#include <numeric>

namespace tessarin {

MonotoneRegression::MonotoneRegression(const float *keys, std::size_t count, const double *weights, TieApproach ties)
    : m_count(count), m_ties(ties)
{
    if (count > std::size_t{0xffffffffu})
        throw TessarinError("monotone regression: " + std::to_string(count) + " pairs are more than it can order");
    if (weights)
        m_weights.assign(weights, weights + count);
    m_work.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        if (!weights || weights[k] > 0.0)
            m_work.push_back(static_cast<std::uint32_t>(k));
    std::stable_sort(m_work.begin(), m_work.end(), [keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    for (std::size_t p = 0; p < m_work.size();) {
        std::size_t q = p + 1;
        while (q < m_work.size() && keys[m_work[q]] == keys[m_work[p]])
            ++q;
        if (q - p > 1) {
            m_tieBlocks.push_back(p);
            m_tieBlocks.push_back(q);
        }
        m_blockEnds.push_back(q);
        p = q;
    }
    m_pools.reserve(m_blockEnds.size());
}

double MonotoneRegression::fit(const double *values, double *fitted)
{
    std::fill(fitted, fitted + m_count, 0.0);
    const double *w = m_weights.empty() ? nullptr : m_weights.data();
    auto weightOf = [w](std::uint32_t k) { return w ? w[k] : 1.0; };

    if (m_ties == TieApproach::Primary) {
        // A total order (value, then index): the same result whatever order
        // the previous call left the block in.
        for (std::size_t t = 0; t < m_tieBlocks.size(); t += 2)
            std::sort(m_work.begin() + static_cast<std::ptrdiff_t>(m_tieBlocks[t]),
                      m_work.begin() + static_cast<std::ptrdiff_t>(m_tieBlocks[t + 1]),
                      [values](std::uint32_t a, std::uint32_t b) {
                          return values[a] < values[b] || (values[a] == values[b] && a < b);
                      });
    }

    m_pools.clear();
    auto push = [this](double weighted, double weight, std::size_t end) {
        Pool pool{weighted, weight, end};
        // Pool while the block before has a larger mean.
        while (!m_pools.empty() && m_pools.back().weighted * pool.weight > pool.weighted * m_pools.back().weight) {
            const Pool &last = m_pools.back();
            pool.weighted = last.weighted + pool.weighted;
            pool.weight = last.weight + pool.weight;
            m_pools.pop_back();
        }
        m_pools.push_back(pool);
    };
    if (m_ties == TieApproach::Primary) {
        for (std::size_t p = 0; p < m_work.size(); ++p) {
            const std::uint32_t k = m_work[p];
            const double wk = weightOf(k);
            push(wk * values[k], wk, p + 1);
        }
    } else {
        std::size_t p = 0;
        for (std::size_t end : m_blockEnds) {
            double weighted = 0.0, weight = 0.0;
            for (; p < end; ++p) {
                const std::uint32_t k = m_work[p];
                const double wk = weightOf(k);
                weighted = weighted + wk * values[k];
                weight = weight + wk;
            }
            push(weighted, weight, end);
        }
    }

    double squares = 0.0;
    std::size_t p = 0;
    for (const Pool &pool : m_pools) {
        const double level = pool.weighted / pool.weight;
        for (; p < pool.end; ++p)
            fitted[m_work[p]] = level;
        squares = squares + level * level * pool.weight;
    }
    return squares;
}

} // namespace tessarin
