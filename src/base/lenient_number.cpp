#include "base/lenient_number.h"

#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tessarin {

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

double LenientNumber(std::string_view text)
{
    std::size_t used;
    return LenientNumber(text, used);
}

double LenientNumber(std::string_view text, std::size_t &used)
{
    // Gather the number's characters without the skipped ones, then let
    // from_chars (locale-free, correctly rounded) convert them.
    std::string number;
    std::size_t pos = 0;
    used = 0;
    auto skip = [&] {
        while (pos < text.size() && isSkipped(text[pos]))
            ++pos;
    };
    skip();
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    bool anyDigit = false;
    long long leadingIntegerDigits = 0; // integer digits after leading zeros
    bool nonZeroSeen = false;
    long long zerosAfterPoint = 0;      // fraction zeros before the first non-zero
    for (skip(); pos < text.size() && isDigit(text[pos]); ++pos, skip()) {
        number += text[pos];
        anyDigit = true;
        if (text[pos] != '0')
            nonZeroSeen = true;
        if (nonZeroSeen)
            ++leadingIntegerDigits;
    }
    if (pos < text.size() && text[pos] == '.') {
        number += '.';
        for (++pos, skip(); pos < text.size() && isDigit(text[pos]); ++pos, skip()) {
            number += text[pos];
            anyDigit = true;
            if (!nonZeroSeen) {
                if (text[pos] == '0')
                    ++zerosAfterPoint;
                else
                    nonZeroSeen = true;
            }
        }
    }
    if (!anyDigit)
        return 0.0;
    long long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t mark = pos;
        std::string expText = "e";
        ++pos;
        skip();
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            expText += text[pos];
            ++pos;
            skip();
        }
        bool expDigit = false;
        for (; pos < text.size() && isDigit(text[pos]); ++pos, skip()) {
            expText += text[pos];
            expDigit = true;
            if (exponent < 1000000000)
                exponent = exponent * 10 + (text[pos] - '0');
        }
        if (expDigit) {
            number += expText;
            if (expText.size() > 1 && expText[1] == '-')
                exponent = -exponent;
        } else {
            pos = mark; // "12e" is 12
        }
    }
    used = pos;
    double value = 0.0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        if (!nonZeroSeen)
            return negative ? -0.0 : 0.0;
        // The decimal exponent of the leading digit tells overflow from underflow.
        long long leading = leadingIntegerDigits > 0 ? leadingIntegerDigits - 1
                                                     : -(zerosAfterPoint + 1);
        if (leading + exponent < 0)
            return negative ? -0.0 : 0.0;
        throw TessarinError("the number " + ShownText(text) + " is too large");
    }
    if (ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

short RoundToShort(double value, std::string_view what)
{
    double rounded = std::nearbyint(value); // default rounding: halves to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        throw TessarinError(std::string(what) + " " + ShortestText(value) + " is out of range -32768 to 32767");
    }
    return static_cast<short>(rounded);
}

} // namespace tessarin
