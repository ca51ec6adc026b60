#pragma once

#include <cstddef>

namespace tessarin {

/// The number of pairs i < j of `n` items; 0 for fewer than two.
inline std::size_t PairCount(int n) { return n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 0; }

/// The first row (0-based) whose pairs, with those of the rows after it,
/// make no more than half of all pairs: where a pass over the pairs is split
/// between two threads. A function of N alone, so the split, and with it
/// every sum, is the same on any machine.
inline int HalfwayRow(int n)
{
    const long total = static_cast<long>(PairCount(n));
    long before = 0;
    for (int i = 0; i < n; ++i) {
        if (2 * before >= total)
            return i;
        before += n - 1 - i;
    }
    return n;
}

} // namespace tessarin
