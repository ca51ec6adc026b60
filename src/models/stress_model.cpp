#include "models/stress_model.h"

#include <cstdio>

namespace tessarin {

const char *ModelKey(StressModel model)
{
    switch (model) {
    case StressModel::Ratio:
        return "ratio";
    case StressModel::Interval:
        return "interval";
    case StressModel::Ordinal:
        return "ordinal";
    case StressModel::Sammon:
        return "sammon";
    case StressModel::Fit:
        break;
    }
    return "fit";
}

const char *TiesKey(TieApproach ties) { return ties == TieApproach::Secondary ? "secondary" : "primary"; }

std::optional<StressModel> ModelFromKey(const std::string &key)
{
    for (StressModel model :
         {StressModel::Fit, StressModel::Ratio, StressModel::Interval, StressModel::Ordinal, StressModel::Sammon})
        if (key == ModelKey(model))
            return model;
    return std::nullopt;
}

std::optional<TieApproach> TiesFromKey(const std::string &key)
{
    if (key == "primary")
        return TieApproach::Primary;
    if (key == "secondary")
        return TieApproach::Secondary;
    return std::nullopt;
}

const char *ModelFigureName(StressModel model)
{
    switch (model) {
    case StressModel::Ratio:
        return "Ratio stress-1";
    case StressModel::Interval:
        return "Interval stress-1";
    case StressModel::Ordinal:
        return "Ordinal stress-1";
    case StressModel::Sammon:
        return "Sammon stress";
    case StressModel::Fit:
        break;
    }
    return "Fit";
}

const char *StressVerdict(double stress)
{
    if (stress <= 0.025)
        return "excellent";
    if (stress <= 0.05)
        return "good";
    if (stress <= 0.1)
        return "fair";
    if (stress <= 0.2)
        return "poor";
    return "bad";
}

std::string ModelStatusText(StressModel model, double stress)
{
    if (model == StressModel::Fit)
        return {};
    char text[96];
    if (model == StressModel::Sammon)
        std::snprintf(text, sizeof text, "%s %.4f", ModelFigureName(model), stress);
    else
        std::snprintf(text, sizeof text, "%s %.4f (%s)", ModelFigureName(model), stress, StressVerdict(stress));
    return text;
}

} // namespace tessarin
