#pragma once

#include <string>

namespace tessarin {

/// Writes `value` right-aligned in exactly `width` characters, with as many
/// decimals as the field leaves room for (rounded, halves up), always with
/// '.' as the separator and no zero before the point below 1. A value whose
/// integer part does not fit gives one of the five-character markers " Big "
/// (too large) or "Small" (too far below zero), whatever the width.
/// Throws TessarinError for a value that is not finite.
std::string strN(int width, double value);

/// The number text of a single-precision value: a blank or minus sign, at most
/// 7 significant digits, no trailing zeros in the fraction, no point for whole
/// values and no zero before the point (" .5", "-.25", " 0").
std::string NumberText(float value);

} // namespace tessarin
