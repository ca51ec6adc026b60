#include "app/batch_summary.h"

#include "base/number_texts.h"
#include "models/model_stress.h"

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

std::string ModelSummaryLine(const ModelSetting &model, const DistanceData &data, const Layout &best)
{
    std::string line = std::string("model: ") + ModelKey(model.model);
    if (model.model == StressModel::Fit)
        return line;
    if (model.model == StressModel::Ordinal)
        line += std::string(" (") + TiesKey(model.ties) + " ties)";
    const double stress = ModelStress(data, best, model);
    return line + (model.model == StressModel::Sammon ? ", stress " : ", stress-1 ") + SignificantText(stress, 9);
}

} // namespace tessarin
