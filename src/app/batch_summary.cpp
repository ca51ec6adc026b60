#include "app/batch_summary.h"

#include <cstdio>

namespace tessarin {

void WriteStageSummary(std::ostream &out, const std::vector<StageRecord> &stages)
{
    for (const StageRecord &stage : stages) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", stage.seconds);
        out << stage.name << ": " << stage.detail << " (" << seconds << " s)\n";
    }
}

std::string StatisticsNote(const std::string &fileName, const DistanceData &data)
{
    if (!data.StatisticsFromDoubleSums)
        return {};
    char errors[128];
    std::snprintf(errors, sizeof errors, "%.2g for the distances, %.2g for their squares", data.SumRelativeError,
                  data.SquareSumRelativeError);
    return "statistics: " + fileName +
           ": the single-precision sums strayed from the double-precision ones by a relative " + errors +
           "; the double-precision sums were used\n";
}

std::string MissingPairsNote(const DistanceData &data)
{
    if (data.MissingPairs == 0)
        return {};
    const long long n = data.ItemCount;
    return "missing pairs: " + std::to_string(data.MissingPairs) + " of " + std::to_string(n * (n - 1) / 2) +
           ", left out of the fit\n";
}

} // namespace tessarin
