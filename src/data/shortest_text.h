#pragma once

#include <string>

namespace tessarin {

/// The shortest text that reads back to exactly the same value, always with
/// '.' as the decimal separator whatever the locale ("0.1", "1e+39", "inf").
std::string ShortestText(double value);
std::string ShortestText(float value);

} // namespace tessarin
