// Fuzz target for LenientNumber. Its result must be finite, or it throws
// TessarinError, and only for a number too large for a double. The result is
// compared with a reference built differently: drop every blank, tab and line
// feed from the text, cut the leading number by its pattern, and let strtod
// (in the "C" locale) convert it.
#include "base/lenient_number.h"
#include "base/tessarin_error.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char *what, std::string_view text, double got, double expected)
{
    std::fprintf(stderr, "lenient number fuzz: %s\n  text: \"%.*s\"\n  got %.17g, reference %.17g\n", what,
                 static_cast<int>(text.size()), text.data(), got, expected);
    std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Reference {
    double value = 0.0;
    bool tooLarge = false;
};

Reference reference(std::string_view text)
{
    std::string squeezed;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            squeezed += c;
    // [+-]? digits* ( . digits* )? ( [eE] [+-]? digits+ )?, with a digit in the mantissa
    std::size_t end = 0;
    if (end < squeezed.size() && (squeezed[end] == '+' || squeezed[end] == '-'))
        ++end;
    std::size_t digits = 0;
    while (end < squeezed.size() && isDigit(squeezed[end]))
        ++end, ++digits;
    if (end < squeezed.size() && squeezed[end] == '.') {
        ++end;
        while (end < squeezed.size() && isDigit(squeezed[end]))
            ++end, ++digits;
    }
    if (digits == 0)
        return {};
    if (end < squeezed.size() && (squeezed[end] == 'e' || squeezed[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < squeezed.size() && (squeezed[e] == '+' || squeezed[e] == '-'))
            ++e;
        if (e < squeezed.size() && isDigit(squeezed[e])) {
            while (e < squeezed.size() && isDigit(squeezed[e]))
                ++e;
            end = e;
        }
    }
    const std::string number = squeezed.substr(0, end);
    errno = 0;
    char *stop = nullptr;
    const double value = std::strtod(number.c_str(), &stop);
    if (stop != number.c_str() + number.size())
        fail("the reference did not take the whole pattern", text, 0.0, value);
    // strtod sets ERANGE on overflow (HUGE_VAL) and on underflow (a tiny value or zero).
    return {value, errno == ERANGE && std::isinf(value)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *bytes, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(bytes), size);
    const Reference expected = reference(text);
    double got = 0.0;
    try {
        got = tessarin::LenientNumber(text);
    } catch (const tessarin::TessarinError &error) {
        if (error.what()[0] == '\0')
            fail("TessarinError with an empty message", text, 0.0, expected.value);
        if (!expected.tooLarge)
            fail("threw for a number within the double range", text, 0.0, expected.value);
        return 0;
    } catch (...) {
        fail("an exception other than TessarinError", text, 0.0, expected.value);
    }
    if (!std::isfinite(got))
        fail("the result is not finite", text, got, expected.value);
    if (expected.tooLarge)
        fail("no error for a number beyond the double range", text, got, expected.value);
    // Same value and, for zeros, the same sign.
    if (std::memcmp(&got, &expected.value, sizeof got) != 0)
        fail("the result differs from the reference", text, got, expected.value);
    return 0;
}
