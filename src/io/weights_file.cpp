#include "io/weights_file.h"

#include "data/pair_weights.h"
#include "io/distance_file.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <unordered_map>

namespace tessarin {

namespace {

std::string itemText(const DistanceData &data, int i)
{
    return data.Names.empty() ? "item " + std::to_string(i)
                              : "item " + std::to_string(i) + " " + ShownText(data.Names[static_cast<std::size_t>(i) - 1]);
}

} // namespace

std::vector<float> WeightsForTable(const DistanceData &table, const DistanceData &weights, const std::string &fileName)
{
    const int n = table.ItemCount;
    // place[i] is the weights table's item for the table's item i.
    std::vector<int> place(static_cast<std::size_t>(n) + 1);
    if (!table.Names.empty() && !weights.Names.empty()) {
        std::unordered_map<std::string, int> where;
        for (int k = 1; k <= weights.ItemCount; ++k)
            where.emplace(weights.Names[static_cast<std::size_t>(k) - 1], k);
        for (int i = 1; i <= n; ++i) {
            const auto found = where.find(table.Names[static_cast<std::size_t>(i) - 1]);
            if (found == where.end())
                throw TessarinError(fileName + ": the weights name no " + itemText(table, i) +
                                    " of the distance table");
            place[static_cast<std::size_t>(i)] = found->second;
        }
        if (weights.ItemCount != n)
            throw TessarinError(fileName + ": the weights name " + std::to_string(weights.ItemCount) +
                                " items, the distance table " + std::to_string(n) +
                                ": every item of the weights must be one of the table's");
    } else {
        if (weights.ItemCount != n)
            throw TessarinError(fileName + ": the weights are for " + std::to_string(weights.ItemCount) +
                                " items, the distance table has " + std::to_string(n));
        for (int i = 1; i <= n; ++i)
            place[static_cast<std::size_t>(i)] = i;
    }
    std::vector<float> result;
    result.reserve(n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 0);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) {
            const int a = place[static_cast<std::size_t>(i)], b = place[static_cast<std::size_t>(j)];
            const float w = weights.pairWeight(a, b) == 0.0f ? 0.0f : weights.distance(a, b);
            if (!(w >= 0.0f))
                throw TessarinError(fileName + ": the weight of " + itemText(weights, a) + " and " +
                                    itemText(weights, b) + " is " + ShortestText(w) +
                                    ": a weight is 0 (leave the pair out) or more");
            result.push_back(w);
        }
    return result;
}

void ApplyWeightsFile(DistanceData &data, const std::vector<float> &readWeights, const std::string &fileName)
{
    const DistanceData weights = ReadDistanceFile(fileName, CellMeaning::Weight);
    std::vector<float> pairWeights = WeightsForTable(data, weights, fileName);
    if (!readWeights.empty())
        for (std::size_t p = 0; p < pairWeights.size(); ++p)
            if (readWeights[p] == 0.0f)
                pairWeights[p] = 0.0f;
    DistanceData weighted = data;
    SetPairWeights(weighted, std::move(pairWeights), fileName);
    data = std::move(weighted);
}

} // namespace tessarin
