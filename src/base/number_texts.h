#pragma once

#include <string>

namespace tessarin {

// The number texts of files and reports, always with '.' as the decimal
// separator whatever the locale. The window's fixed-width fields and labels
// are written by strN and NumberText (base/str_n.h).

/// The shortest text that reads back to exactly the same value ("0.1",
/// "1e+39", "inf").
std::string ShortestText(double value);
std::string ShortestText(float value);

/// `value` with at most `digits` significant digits, as printf's %.*g writes
/// it in the C locale ("0.999215603", "1e-05").
std::string SignificantText(double value, int digits);

} // namespace tessarin
