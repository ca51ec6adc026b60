#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tessarin {

/// The largest item count a map can be searched for: 2N genes must fit a
/// 16-bit count. Every reader and the search refuse more.
constexpr int MaxItemCount = 16383;

/// What a refused count is told ("more than the 16383 items a map can hold").
inline std::string MoreThanItemLimit()
{
    return "more than the " + std::to_string(MaxItemCount) + " items a map can hold";
}

/// Something the reading did that the file's author probably did not mean
/// (the reading itself goes on as its rules say; this only tells).
struct ReadingWarning {
    /// 1-based line of the file the warning is about.
    int line = 0;
    /// What was read and how, for a user ("the value "2O" reads as 2").
    std::string text;
};

/// How many reading warnings DistanceData keeps the text of; the others are
/// only counted, so a file of a hundred million odd values stays cheap.
constexpr std::size_t MaxReadingWarnings = 100;

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
    /// The item names, Names[i - 1] naming item i; empty when the file names
    /// no items (the items are then known by their numbers 1..N).
    std::vector<std::string> Names;
    /// What the reading noticed, in file order; empty for a clean file. Holds
    /// at most MaxReadingWarnings entries, the first ones.
    std::vector<ReadingWarning> Warnings;
    /// How many warnings the reading noticed in all, kept or not.
    long long WarningCount = 0;
    /// True when the single-precision running sums of the reading strayed
    /// more than a relative 1e-4 from the same sums in double precision, so
    /// DistanceSum and DistanceSpread were made from the double-precision
    /// sums instead; the two relative errors of the single-precision sums
    /// (of the distances and of their squares) say by how much.
    bool StatisticsFromDoubleSums = false;
    double SumRelativeError = 0.0;
    double SquareSumRelativeError = 0.0;
    /// The weight of each pair in pair order (as PairDistances); empty when
    /// every pair weighs 1. A pair of weight 0 is left out of every sum, as
    /// if the table did not give it. Set only by SetPairWeights.
    std::vector<float> PairWeights;
    /// How many pairs weigh 0 (missing cells, or left out by a weights file).
    long long MissingPairs = 0;
    /// With weights: the sum of the weights, the weighted sum of the
    /// distances and their weighted corrected sum of squares (with the
    /// divisor K = 2 x the sum of the weights), in double precision.
    double WeightTotal = 0.0;
    double WeightedSum = 0.0;
    double WeightedSpread = 0.0;

    /// Cell (i, j) of Distances.
    float distance(int i, int j) const
    {
        return Distances[static_cast<std::size_t>(i) * (ItemCount + 1) + static_cast<std::size_t>(j)];
    }
    bool empty() const { return ItemCount == 0; }
    bool weighted() const { return !PairWeights.empty(); }
    /// The weight of the pair of items i != j (1-based); 1 without weights.
    float pairWeight(int i, int j) const
    {
        if (PairWeights.empty())
            return 1.0f;
        if (i > j)
            std::swap(i, j);
        const std::size_t n = static_cast<std::size_t>(ItemCount);
        const std::size_t row = static_cast<std::size_t>(i) - 1;
        return PairWeights[row * (2 * n - row - 1) / 2 + static_cast<std::size_t>(j - i - 1)];
    }

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
