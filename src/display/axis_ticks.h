#pragma once

#include <string>
#include <vector>

namespace tessarin {

/// An axis with round-number ticks: a step of 1, 2 or 5 times a power of ten,
/// and ends on whole steps that enclose the data.
struct AxisTicks {
    double low = 0;
    double high = 1;
    double step = 1;
    /// The tick values low, low + step, ..., high.
    std::vector<double> values() const;
    /// A tick value as text with just the decimals the step needs ("0.4",
    /// "1500", "-2"; never "-0").
    std::string label(double value) const;
};

/// Round ticks for data from `low` to `high` with about `ticks` intervals
/// (at least 1). A range without width, or not finite, gets the axis 0..1 or
/// one step around its value.
AxisTicks RoundTicks(double low, double high, int ticks = 5);

} // namespace tessarin
