#include "data/pair_weights.h"

#include "data/distance_statistics.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tessarin {

namespace {

int findRoot(std::vector<int> &parent, int k)
{
    while (parent[static_cast<std::size_t>(k)] != k) {
        parent[static_cast<std::size_t>(k)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(k)])];
        k = parent[static_cast<std::size_t>(k)];
    }
    return k;
}

std::string itemName(const DistanceData &data, int i)
{
    return data.Names.empty() ? std::to_string(i) : EscapedText(data.Names[static_cast<std::size_t>(i) - 1]);
}

/// "items Aunt, Niece have no present pair with the other 13".
std::string cutOff(const DistanceData &data, const std::vector<int> &group)
{
    std::string names;
    for (int i : group)
        names += (names.empty() ? "" : ", ") + itemName(data, i);
    const std::size_t others = static_cast<std::size_t>(data.ItemCount) - group.size();
    return (group.size() == 1 ? "item " + names + " has" : "items " + names + " have") +
           " no present pair with the other " + std::to_string(others);
}

} // namespace

std::vector<std::vector<int>> ConnectedGroups(const DistanceData &data)
{
    const int n = data.ItemCount;
    std::vector<int> parent(static_cast<std::size_t>(n) + 1);
    std::iota(parent.begin(), parent.end(), 0);
    std::size_t p = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j, ++p)
            if (data.PairWeights.empty() || data.PairWeights[p] > 0.0f) {
                const int a = findRoot(parent, i), b = findRoot(parent, j);
                if (a != b)
                    parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
            }
    std::vector<std::vector<int>> groups;
    std::vector<int> groupOfRoot(static_cast<std::size_t>(n) + 1, -1);
    for (int i = 1; i <= n; ++i) {
        const int root = findRoot(parent, i);
        int &g = groupOfRoot[static_cast<std::size_t>(root)];
        if (g < 0) {
            g = static_cast<int>(groups.size());
            groups.emplace_back();
        }
        groups[static_cast<std::size_t>(g)].push_back(i);
    }
    return groups;
}

void SetPairWeights(DistanceData &data, std::vector<float> weights, const std::string &where)
{
    const int n = data.ItemCount;
    const std::size_t pairs = n > 1 ? static_cast<std::size_t>(n) * (n - 1) / 2 : 0;
    if (weights.size() != pairs)
        throw TessarinError(where + ": " + std::to_string(weights.size()) + " weights for the " +
                            std::to_string(pairs) + " pairs of " + std::to_string(n) + " items");
    for (float w : weights)
        if (!(w >= 0.0f) || std::isinf(w))
            throw TessarinError(where + ": a weight of " + std::to_string(w) + ": weights are finite and 0 or more");
    if (std::all_of(weights.begin(), weights.end(), [](float w) { return w == 1.0f; })) {
        data.PairWeights.clear();
        data.MissingPairs = 0;
        data.WeightTotal = data.WeightedSum = data.WeightedSpread = 0.0;
        ComputeDistanceStatistics(data, where);
        return;
    }
    std::vector<float> previous = std::move(data.PairWeights);
    data.PairWeights = std::move(weights);
    const std::vector<std::vector<int>> groups = ConnectedGroups(data);
    if (groups.size() > 1) {
        data.PairWeights = std::move(previous);
        std::size_t largest = 0;
        for (std::size_t g = 1; g < groups.size(); ++g)
            if (groups[g].size() > groups[largest].size())
                largest = g;
        std::string message;
        for (std::size_t g = 0; g < groups.size(); ++g)
            if (g != largest)
                message += (message.empty() ? "" : "; ") + cutOff(data, groups[g]);
        throw TessarinError(where + ": " + message);
    }

    // The weighted sums, pairs row by row.
    double total = 0.0, sum = 0.0, squares = 0.0;
    long long missing = 0;
    std::size_t p = 0;
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j, ++p) {
            const double w = data.PairWeights[p];
            if (w == 0.0) {
                ++missing;
                continue;
            }
            const double g = data.distance(i, j);
            total = total + w;
            sum = sum + w * g;
            squares = squares + w * g * g;
        }
    const double k = 2.0 * total;
    data.MissingPairs = missing;
    data.WeightTotal = total;
    data.WeightedSum = sum;
    data.WeightedSpread = squares - sum * sum / k;
    data.DistanceSum = static_cast<float>(sum);
    data.DistanceSpread = static_cast<float>(data.WeightedSpread);
    if (std::isinf(data.DistanceSum) || std::isinf(data.DistanceSpread))
        throw TessarinError(where + ": the distances are too large: their weighted sums leave the "
                                    "single-precision range");
}

} // namespace tessarin
