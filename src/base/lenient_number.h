#pragma once

#include <cstddef>
#include <string_view>

namespace tessarin {

/// Reads the leading number of a text the way every box and every distance is
/// read: optional sign, digits, an optional decimal point (always '.', never
/// the locale's) and an optional exponent (e or E). Blanks, tabs and line feeds
/// anywhere inside the number are skipped. Returns 0 when the text does not
/// begin with a number; "12abc" gives 12, "abc" gives 0. A magnitude too small
/// for a double gives a signed zero.
/// Throws TessarinError when the number is too large for a double.
double LenientNumber(std::string_view text);

/// LenientNumber, also telling how many characters of `text` the number
/// took (skipped blanks inside it included): 0 when the text does not begin
/// with a number, text.size() when nothing follows it.
double LenientNumber(std::string_view text, std::size_t &used);

/// Rounds to the nearest integer, halves to the even neighbour, into a 16-bit
/// signed integer. Throws TessarinError (naming `what`) when out of range.
short RoundToShort(double value, std::string_view what);

} // namespace tessarin
