#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

/// How each numeric variable is rescaled before the metric.
enum class Standardization {
    None,
    /// (x - mean) / sd, the sd with n - 1 as R's scale() takes it.
    Z,
    /// (x - min) / (max - min).
    Range,
};

/// Reads "none", "z" or "range"; throws TessarinError naming the three for
/// anything else.
Standardization ParseStandardization(std::string_view text);
std::string StandardizationName(Standardization standardization);

/// Rescales one variable in place. `missing` marks the values to leave out
/// (they are left as they are); the mean, sd, min and max are taken over the
/// others, sums in item order. A variable with no spread (sd or range 0,
/// or fewer than two values for z) becomes 0 everywhere it is given: it
/// tells no item from another. (R's scale() gives NaN there.)
void Standardize(std::vector<double> &values, const std::vector<bool> &missing, Standardization standardization);

} // namespace tessarin
