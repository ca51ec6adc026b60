#pragma once

#include <cstddef>
#include <vector>

namespace tessarin {

/// The distance data of the window: what a completed reading leaves.
struct DistanceData {
    /// N, the number of items; 0 until a file has been read.
    short ItemCount = 0;
    /// (N + 1) x (N + 1) cells, row by row; cell (i, j), 1 <= i, j <= N, is the
    /// given distance between items i and j. Symmetric, zero diagonal, row and
    /// column 0 hold 0. Empty until a file has been read.
    std::vector<float> Distances;
    /// The sum of the distances over the pairs i < j, in single precision.
    float DistanceSum = 0.0f;
    /// Their corrected sum of squares, Q - S * S / N / (N - 1).
    float DistanceSpread = 0.0f;
    /// The cells above the diagonal in pair order (i = 1..N, j = i + 1..N),
    /// N (N - 1) / 2 values: what the batched fit reads. The reader fills it
    /// with packPairs(); empty when Distances was filled some other way.
    std::vector<float> PairDistances;

    /// Cell (i, j) of Distances.
    float distance(int i, int j) const
    {
        return Distances[static_cast<std::size_t>(i) * (ItemCount + 1) + static_cast<std::size_t>(j)];
    }
    bool empty() const { return ItemCount == 0; }

    /// Copies the cells above the diagonal of Distances into PairDistances.
    void packPairs()
    {
        const int n = ItemCount;
        PairDistances.clear();
        PairDistances.reserve(n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 0);
        for (int i = 1; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j)
                PairDistances.push_back(distance(i, j));
    }
};

} // namespace tessarin
