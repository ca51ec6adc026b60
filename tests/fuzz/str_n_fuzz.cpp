// Fuzz target for strN(width, value).
//
// Input: byte 0 picks the width: with its top bit clear, width = (byte % 16) - 3,
// so -3..12, which holds the callers' widths 3 and 6; with it set, the next
// two bytes are any 16-bit width. The rest is the value: 8 bytes are a double,
// 4 to 7 bytes a float (as a table cell is), 1 to 3 bytes a signed byte / 8.
//
// strN must return exactly `width` characters (none for a negative width) or
// " Big " / "Small", or throw TessarinError; for a non-finite value it must
// throw. For width 0..12 and |value| <= FLT_MAX (the callers pass 3 and 6 and
// a table cell or a fit) it must not throw, give a marker exactly when the
// integer part does not fit, and up to width 7 otherwise a well-formed
// number text that reads back as the value rounded to its field.
#include "base/str_n.h"
#include "base/tessarin_error.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void fail(const char *what, int width, double value, const std::string &result)
{
    std::fprintf(stderr, "strN fuzz: %s\n  strN(%d, %.17g) = \"%s\"\n", what, width, value, result.c_str());
    std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks, an optional minus, then "0", or digits without a leading
// zero, optionally with a point and a fraction that does not end in 0, or a
// point and such a fraction alone: " 12", "-.25", "  0", "5.6".
bool isNumberText(const std::string &text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return false;
    const bool negative = text[i] == '-';
    if (negative)
        ++i;
    const std::size_t integerStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    const std::size_t integerDigits = i - integerStart;
    if (integerDigits > 1 && text[integerStart] == '0')
        return false;
    if (i == text.size())
        return integerDigits > 0 && !(negative && text.substr(integerStart) == "0");
    if (text[i] != '.' || (integerDigits == 1 && text[integerStart] == '0'))
        return false;
    ++i;
    const std::size_t fractionStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i == text.size() && i > fractionStart && text.back() != '0';
}

void checkDomain(int width, double value, const std::string &result)
{
    const int w = value < 0.0 ? width - 1 : width;
    const double limit = std::pow(10.0, w);
    // The markers, tested on the value with the 0.6 margin; "Small" wins.
    const char *marker = value < 0.6 - limit ? "Small" : value > limit - 0.6 ? " Big " : nullptr;
    if (marker) {
        if (result != marker)
            fail(value > 0 ? "expected \" Big \"" : "expected \"Small\"", width, value, result);
        return;
    }
    if (result == " Big " || result == "Small")
        fail("a marker for a value whose integer part fits", width, value, result);
    // The text itself only up to width 7. Beyond it the single-precision
    // rounded value needs more than 7 significant digits, and the cut to the
    // width that the algorithm prescribes takes part of them: a digit is
    // dropped (strN(11, 99999998208) is "10000000000") or a zero left at the
    // end (strN(11, 9.5513598807883682e-07) is ".0000009550").
    if (width == 0 || width > 7)
        return;
    if (!isNumberText(result))
        fail("not a right-aligned number text", width, value, result);

    // Read back: within half a unit of the last decimal the field leaves
    // room for, plus the single precision and the 7 significant digits.
    const double magnitude = std::fabs(value);
    int e = 0;
    bool nearPowerOfTen = false;
    if (magnitude != 0.0) {
        const double decimalLog = std::log10(magnitude);
        e = static_cast<int>(std::floor(decimalLog));
        nearPowerOfTen = std::fabs(decimalLog - std::nearbyint(decimalLog)) < 1e-9;
    }
    if (e < 0)
        e = -1;
    if (e > w - 2)
        e = e - 1;
    double tolerance = 0.5 * std::pow(10.0, e + 2 - w) * (1.0 + 1e-9) + 1e-6 * magnitude;
    if (nearPowerOfTen)
        tolerance *= 10.0; // the exponent may come out one lower or higher there
    const double readBack = std::strtod(result.c_str(), nullptr);
    if (!(std::fabs(readBack - value) <= tolerance))
        fail("the text is not the value rounded to its field", width, value, result);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    int width = 0;
    std::size_t pos = 1;
    if (bytes[0] & 0x80) {
        if (size < 3)
            return 0;
        std::int16_t wide;
        std::memcpy(&wide, bytes + 1, sizeof wide);
        width = wide;
        pos = 3;
    } else {
        width = bytes[0] % 16 - 3;
    }
    double value = 0.0;
    const std::size_t rest = size - pos;
    if (rest >= 8) {
        std::memcpy(&value, bytes + pos, sizeof value);
    } else if (rest >= 4) {
        float single;
        std::memcpy(&single, bytes + pos, sizeof single);
        value = single;
    } else if (rest >= 1) {
        value = static_cast<std::int8_t>(bytes[pos]) / 8.0;
    }

    const bool inDomain = width >= 0 && width <= 12 && std::isfinite(value) && std::fabs(value) <= FLT_MAX;
    std::string result;
    try {
        result = tessarin::strN(width, value);
    } catch (const tessarin::TessarinError &error) {
        if (error.what()[0] == '\0')
            fail("TessarinError with an empty message", width, value, "");
        if (inDomain)
            fail("threw for a width and value the callers use", width, value, error.what());
        return 0;
    } catch (...) {
        fail("an exception other than TessarinError", width, value, "");
    }
    if (!std::isfinite(value))
        fail("no error for a value that is not finite", width, value, result);
    const bool isMarker = result == " Big " || result == "Small";
    if (!isMarker && result.size() != static_cast<std::size_t>(width < 0 ? 0 : width))
        fail("the text is not `width` characters", width, value, result);
    if (inDomain)
        checkDomain(width, value, result);
    return 0;
}
