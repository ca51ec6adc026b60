#include "distances/distance_metric.h"

#include "io/distance_cell.h"
#include "base/lenient_number.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

namespace tessarin {

namespace {

struct Named {
    const char *name;
    Metric metric;
};

constexpr Named names[] = {
    {"euclidean", Metric::Euclidean}, {"manhattan", Metric::Manhattan},
    {"chebyshev", Metric::Chebyshev}, {"maximum", Metric::Chebyshev},
    {"canberra", Metric::Canberra},   {"correlation", Metric::Correlation},
    {"cosine", Metric::Cosine},       {"braycurtis", Metric::BrayCurtis},
    {"bray", Metric::BrayCurtis},     {"jaccard", Metric::Jaccard},
    {"hellinger", Metric::Hellinger}, {"gower", Metric::Gower},
};

constexpr const char *allNames = "euclidean, manhattan, chebyshev, minkowski=P, canberra, correlation, cosine, "
                                 "braycurtis, jaccard, hellinger or gower";

} // namespace

MetricChoice ParseMetric(std::string_view text)
{
    for (const Named &named : names)
        if (text == named.name)
            return {named.metric, 2.0};
    constexpr std::string_view minkowski = "minkowski=";
    if (text.substr(0, minkowski.size()) == minkowski) {
        const std::string_view power = text.substr(minkowski.size());
        const Cell cell = ReadCell(power);
        if (cell.kind != CellKind::Number || !(cell.value > 0.0f))
            throw TessarinError("metric " + ShownText(text) + ": the power after minkowski= must be a number above 0");
        return {Metric::Minkowski, LenientNumber(power)};
    }
    throw TessarinError("unknown metric " + ShownText(text) + ": the metrics are " + allNames);
}

std::string MetricName(const MetricChoice &choice)
{
    if (choice.metric == Metric::Minkowski)
        return "minkowski=" + ShortestText(choice.power);
    for (const Named &named : names)
        if (named.metric == choice.metric)
            return named.name;
    return "euclidean";
}

bool TakesCountsOnly(Metric metric)
{
    return metric == Metric::BrayCurtis || metric == Metric::Jaccard || metric == Metric::Hellinger;
}

} // namespace tessarin
