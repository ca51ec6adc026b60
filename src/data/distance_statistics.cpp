#include "data/distance_statistics.h"

#include "base/tessarin_error.h"

#include <cmath>

namespace tessarin {

namespace {

/// How far the single-precision running sums may stray from the same sums in
/// double precision before they are replaced.
constexpr double SumTolerance = 1e-4;

double relativeError(float single, double twin)
{
    if (twin == 0.0)
        return single == 0.0f ? 0.0 : INFINITY;
    return std::fabs(static_cast<double>(single) - twin) / std::fabs(twin);
}

} // namespace

void ComputeDistanceStatistics(DistanceData &data, const std::string &fileName)
{
    const int n = data.ItemCount;
    float sum = 0.0f;
    float squares = 0.0f;
    // The same sums in double precision, in the same order, as a check: from
    // a few thousand items on, a single-precision running sum stops growing.
    double sumTwin = 0.0;
    double squaresTwin = 0.0;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            float g = data.distance(i, j);
            sum = g + sum;
            float square = g * g;
            squares = squares + square;
            const double wide = g;
            sumTwin = wide + sumTwin;
            squaresTwin = squaresTwin + wide * wide;
        }
    }
    if (std::isinf(sum) || std::isinf(squares))
        throw TessarinError(fileName + ": the distances are too large: their sum or sum of "
                                       "squares leaves the single-precision range");
    data.SumRelativeError = relativeError(sum, sumTwin);
    data.SquareSumRelativeError = relativeError(squares, squaresTwin);
    // Where the single-precision sums hold, they are kept bit for bit; where
    // they do not, each double-precision sum is rounded once and every other
    // step stays as it is.
    data.StatisticsFromDoubleSums = !(data.SumRelativeError <= SumTolerance && data.SquareSumRelativeError <= SumTolerance);
    if (data.StatisticsFromDoubleSums) {
        sum = static_cast<float>(sumTwin);
        squares = static_cast<float>(squaresTwin);
    }
    double correction = (static_cast<double>(sum) * static_cast<double>(sum)) / n / (n - 1);
    float t = static_cast<float>(correction);
    float spread = squares - t;
    if (std::isinf(t) || std::isinf(spread))
        throw TessarinError(fileName + ": the distances are too large: their spread leaves the single-precision range");
    data.DistanceSum = sum;
    data.DistanceSpread = spread;
}

} // namespace tessarin
