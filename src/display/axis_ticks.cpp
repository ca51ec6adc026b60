#include "display/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessarin {

namespace {

int decimalsOf(double step)
{
    return std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
}

} // namespace

AxisTicks RoundTicks(double low, double high, int ticks)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return {};
    if (low > high)
        std::swap(low, high);
    if (high == low) {
        if (low == 0)
            return {};
        const double magnitude = std::pow(10.0, std::floor(std::log10(std::abs(low))));
        low -= magnitude;
        high += magnitude;
    }
    const double rough = (high - low) / std::max(1, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough * (1 - 1e-9)) {
            step = factor * power;
            break;
        }
    }
    // The ends are whole multiples of the step, with a little slack so that
    // a value a rounding error past a tick does not add a whole step.
    AxisTicks axis;
    axis.step = step;
    axis.low = std::floor(low / step + 1e-9) * step;
    axis.high = std::ceil(high / step - 1e-9) * step;
    if (axis.high <= axis.low)
        axis.high = axis.low + step;
    return axis;
}

std::vector<double> AxisTicks::values() const
{
    std::vector<double> result;
    if (!(step > 0))
        return result;
    const long long first = std::llround(low / step);
    const long long last = std::llround(high / step);
    for (long long k = first; k <= last; ++k)
        result.push_back(static_cast<double>(k) * step);
    return result;
}

std::string AxisTicks::label(double value) const
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimalsOf(step), value);
    std::string text = buffer;
    if (text.find_first_not_of("-0.") == std::string::npos)
        return "0";
    return text;
}

} // namespace tessarin
