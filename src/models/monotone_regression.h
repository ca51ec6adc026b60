#pragma once

#include "models/stress_model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

/// Weighted monotone (isotonic) regression of values on the order of fixed
/// keys, by pool-adjacent-violators. The keys (the given distances) are
/// sorted once, stably, when the object is made; each fit is then O(count)
/// plus the ordering of the tie blocks by value under the primary approach.
///
/// The fit minimises sum w (d^ - y)^2 over d^ non-decreasing in the key:
/// - Primary: within a block of equal keys the values are taken in
///   increasing order (equal values in index order), so tied keys may get
///   unequal d^;
/// - Secondary: each block of equal keys is pooled first and gets one d^.
/// Items of weight 0 take no part; their d^ is 0.
class MonotoneRegression {
public:
    /// `keys[k]`, k < count, and optional `weights` (null: all 1). Keeps no
    /// reference to either. Throws TessarinError for more than 2^32 - 1 keys.
    MonotoneRegression(const float *keys, std::size_t count, const double *weights, TieApproach ties);

    /// Writes the fitted d^ of `values` (index order) to `fitted` and returns
    /// sum w d^^2, summed over the pooled blocks in key order.
    double fit(const double *values, double *fitted);

    /// The items of weight > 0 in key order (ties in index order): position p
    /// holds item order()[p].
    const std::vector<std::uint32_t> &order() const { return m_order; }

    /// The same fit on values given in key order: `ordered[p]` is the value of
    /// item order()[p], and `fitted[p]` receives its d^. Reads and writes
    /// order().size() values.
    double fitOrdered(const double *ordered, double *fitted);

    /// fitOrdered in three steps: the two halves of the order (split at a
    /// fixed block of ties near the middle) pooled each on its own, in
    /// either order or side by side, then finish() pools the second half's
    /// pools onto the first's and writes `fitted`. The same bits as
    /// fitOrdered, which runs them one after the other.
    void poolHalf(int half, const double *ordered);
    double finish(double *fitted);

    std::size_t count() const { return m_count; }
    TieApproach ties() const { return m_ties; }

private:
    struct Pool {
        double weighted; // sum w y
        double weight;   // sum w
        std::size_t end; // one past its last entry in m_sequence
    };

    std::size_t m_count;
    TieApproach m_ties;
    std::vector<std::uint32_t> m_order;
    std::vector<double> m_weights;             // in key order; empty: all 1
    std::vector<std::size_t> m_blockEnds;      // end of every block of equal keys, in order
    std::vector<std::uint32_t> m_sequence;     // positions in the order the pooling takes them
    std::vector<Pool> m_pools; // room for one pool an item; each half's stack from its first position
    std::size_t m_splitBlock = 0; // the first block of the second half
    std::size_t m_halfPools[2] = {0, 0};
    std::vector<double> m_orderedValues, m_orderedFitted;
};

} // namespace tessarin
