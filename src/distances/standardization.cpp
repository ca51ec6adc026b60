#include "distances/standardization.h"

#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>

namespace tessarin {

Standardization ParseStandardization(std::string_view text)
{
    if (text == "none")
        return Standardization::None;
    if (text == "z")
        return Standardization::Z;
    if (text == "range")
        return Standardization::Range;
    throw TessarinError("unknown standardisation " + ShownText(text) + ": it is none, z or range");
}

std::string StandardizationName(Standardization standardization)
{
    switch (standardization) {
    case Standardization::Z:
        return "z";
    case Standardization::Range:
        return "range";
    case Standardization::None:
        break;
    }
    return "none";
}

void Standardize(std::vector<double> &values, const std::vector<bool> &missing, Standardization standardization)
{
    if (standardization == Standardization::None)
        return;
    double centre = 0.0;
    double scale = 0.0;
    std::size_t count = 0;
    if (standardization == Standardization::Z) {
        double sum = 0.0;
        for (std::size_t k = 0; k < values.size(); ++k)
            if (!missing[k]) {
                sum += values[k];
                ++count;
            }
        if (count == 0)
            return;
        centre = sum / static_cast<double>(count);
        double squares = 0.0;
        for (std::size_t k = 0; k < values.size(); ++k)
            if (!missing[k])
                squares += (values[k] - centre) * (values[k] - centre);
        scale = count > 1 ? std::sqrt(squares / static_cast<double>(count - 1)) : 0.0;
    } else {
        bool first = true;
        double low = 0.0, high = 0.0;
        for (std::size_t k = 0; k < values.size(); ++k)
            if (!missing[k]) {
                low = first ? values[k] : std::fmin(low, values[k]);
                high = first ? values[k] : std::fmax(high, values[k]);
                first = false;
            }
        centre = low;
        scale = high - low;
    }
    for (std::size_t k = 0; k < values.size(); ++k)
        if (!missing[k])
            values[k] = scale > 0.0 ? (values[k] - centre) / scale : 0.0;
}

} // namespace tessarin
