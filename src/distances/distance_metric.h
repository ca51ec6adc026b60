#pragma once

#include <string>
#include <string_view>

namespace tessarin {

/// How the distance between two items is made from their variables, each
/// as R computes it.
enum class Metric {
    Euclidean,   ///< dist(): the root of the sum of squared differences
    Manhattan,   ///< dist(): the sum of absolute differences
    Chebyshev,   ///< dist(method = "maximum"): the largest absolute difference
    Minkowski,   ///< dist(p = P): the P-th root of the sum of |difference|^P
    Canberra,    ///< dist(): the sum of |x - y| / |x + y|, 0/0 terms left out and the sum scaled up for them
    Correlation, ///< 1 - Pearson's r between the two items' rows
    Cosine,      ///< 1 - x.y / (|x| |y|)
    BrayCurtis,  ///< vegdist(): sum |x - y| / sum (x + y)
    Jaccard,     ///< vegdist(binary = TRUE): share of the variables present in one item only
    Hellinger,   ///< Euclidean after decostand(method = "hellinger"): sqrt(x / row sum)
    Gower,       ///< cluster::daisy(): mean over the variables given for both items of |x - y| / range, or 0/1 for text
};

/// A metric and, for Minkowski, its power.
struct MetricChoice {
    Metric metric = Metric::Euclidean;
    /// P of Minkowski, > 0; ignored by the other metrics.
    double power = 2.0;
};

/// Reads a metric's name as the batch mode takes it: euclidean, manhattan,
/// chebyshev (or maximum), minkowski=P, canberra, correlation, cosine,
/// braycurtis (or bray), jaccard, hellinger, gower. Throws TessarinError
/// listing the names for anything else, or for a P that is not a positive
/// number.
MetricChoice ParseMetric(std::string_view text);

/// The metric's name as ParseMetric takes it ("minkowski=3").
std::string MetricName(const MetricChoice &choice);

/// True for the metrics made for counts or abundances (Bray–Curtis,
/// Jaccard, Hellinger), which refuse negative values.
bool TakesCountsOnly(Metric metric);

} // namespace tessarin
