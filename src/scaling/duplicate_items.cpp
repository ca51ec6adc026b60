#include "scaling/duplicate_items.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace tessarin {

namespace {

std::uint64_t rowHash(const float *row, int length)
{
    // FNV-1a over the bytes: identical rows, identical hashes.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto *bytes = reinterpret_cast<const unsigned char *>(row);
    for (std::size_t k = 0; k < static_cast<std::size_t>(length) * sizeof(float); ++k) {
        hash ^= bytes[k];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

DuplicateItems::DuplicateItems(const DistanceData &data)
{
    const int n = data.ItemCount > 0 ? data.ItemCount : 0;
    m_first.resize(static_cast<std::size_t>(n));
    std::iota(m_first.begin(), m_first.end(), 0);
    // With pairs left out, equal rows do not show that two items meet.
    if (n < 2 || data.weighted())
        return;
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    auto row = [&](int item) { return data.Distances.data() + (static_cast<std::size_t>(item) + 1) * side + 1; };
    std::vector<std::pair<std::uint64_t, int>> hashes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        hashes[static_cast<std::size_t>(i)] = {rowHash(row(i), n), i};
    std::sort(hashes.begin(), hashes.end());
    for (std::size_t a = 0; a < hashes.size();) {
        std::size_t b = a + 1;
        while (b < hashes.size() && hashes[b].first == hashes[a].first)
            ++b;
        // Within one hash, each item joins the first earlier item whose row
        // is really the same (items are in increasing order here).
        for (std::size_t k = a + 1; k < b; ++k) {
            const int item = hashes[k].second;
            for (std::size_t e = a; e < k; ++e) {
                const int earlier = hashes[e].second;
                if (m_first[static_cast<std::size_t>(earlier)] == earlier &&
                    std::memcmp(row(item), row(earlier), sizeof(float) * static_cast<std::size_t>(n)) == 0) {
                    m_first[static_cast<std::size_t>(item)] = earlier;
                    m_any = true;
                    break;
                }
            }
        }
        a = b;
    }
}

void DuplicateItems::spread(double *values, int dimensions) const
{
    if (!m_any)
        return;
    const std::size_t n = m_first.size();
    for (int d = 0; d < dimensions; ++d) {
        double *block = values + static_cast<std::size_t>(d) * n;
        for (std::size_t j = 0; j < n; ++j)
            block[j] = block[static_cast<std::size_t>(m_first[j])];
    }
}

} // namespace tessarin
