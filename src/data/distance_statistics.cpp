#include "data/distance_statistics.h"

#include "data/tessarin_error.h"

#include <cmath>

namespace tessarin {

void ComputeDistanceStatistics(DistanceData &data, const std::string &fileName)
{
    const int n = data.ItemCount;
    float sum = 0.0f;
    float squares = 0.0f;
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            float g = data.distance(i, j);
            sum = g + sum;
            float square = g * g;
            squares = squares + square;
        }
    }
    if (std::isinf(sum) || std::isinf(squares))
        throw TessarinError(fileName + ": the distances are too large: their sum or sum of "
                                       "squares leaves the single-precision range");
    double correction = (static_cast<double>(sum) * static_cast<double>(sum)) / n / (n - 1);
    float t = static_cast<float>(correction);
    float spread = squares - t;
    if (std::isinf(t) || std::isinf(spread))
        throw TessarinError(fileName + ": the distances are too large: their spread leaves the single-precision range");
    data.DistanceSum = sum;
    data.DistanceSpread = spread;
}

} // namespace tessarin
