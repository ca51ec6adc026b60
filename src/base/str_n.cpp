#include "base/str_n.h"

#include "base/number_texts.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string>

namespace tessarin {

std::string NumberText(float value)
{
    if (value == 0.0f)
        return " 0";
    // Seven significant digits, correctly rounded, and never the locale's
    // decimal point: to_chars gives "d.dddddde+xx".
    char buffer[64];
    const double magnitude = std::fabs(static_cast<double>(value));
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 6);
    const std::string scientific(buffer, result.ptr);
    const std::size_t e = scientific.find('e');
    const std::string mantissa = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));

    std::string integerPart;
    std::string fraction;
    if (exponent >= 6) {
        integerPart = mantissa + std::string(static_cast<std::size_t>(exponent - 6), '0');
    } else if (exponent >= 0) {
        integerPart = mantissa.substr(0, static_cast<std::size_t>(exponent) + 1);
        fraction = mantissa.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string text = value < 0.0f ? "-" : " ";
    text += integerPart;
    if (!fraction.empty())
        text += "." + fraction;
    return text;
}

namespace {

// The field's text of a value already rounded to the digits it keeps.
std::string FieldText(int width, float rounded)
{
    const std::size_t p = static_cast<std::size_t>(std::max(width, 0));
    std::string t = NumberText(rounded);
    t += std::string(p, ' ');
    t.erase(0, t.find_first_not_of(' '));
    if (t.size() > p)
        t.resize(p);
    std::size_t last = t.find_last_not_of(' ');
    t.erase(last == std::string::npos ? 0 : last + 1);
    t = std::string(p, ' ') + t;
    return t.substr(t.size() - p);
}

} // namespace

namespace {

// 10 to the power k as std::pow gives it; a formatter keeps the few it needs.
struct PowersOfTen {
    static constexpr int Kept = 16;
    std::array<double, Kept> values{};
    PowersOfTen()
    {
        for (int k = 0; k < Kept; ++k)
            values[static_cast<std::size_t>(k)] = std::pow(10.0, k);
    }
    double operator()(int k) const
    {
        return k >= 0 && k < Kept ? values[static_cast<std::size_t>(k)] : std::pow(10.0, k);
    }
};

const PowersOfTen &Powers()
{
    static const PowersOfTen powers;
    return powers;
}

// floor(log(v) / log(10)) for v > 0, as the rounding computes it. The two
// logarithms round, so only near a power of ten can the quotient fall on the
// other side of a whole number; everywhere else the decade found by
// comparing with the powers is that floor, and the logarithms, the dearest
// part of a table's millions of cells, are left out. The margin, a
// millionth of the value, is far wider than the quotient's rounding error.
class Decades {
public:
    static constexpr int Lowest = -8, Highest = 15;
    Decades()
    {
        for (int k = Lowest; k <= Highest; ++k) {
            const double power = std::pow(10.0, k);
            m_low[static_cast<std::size_t>(k - Lowest)] = power * (1 + 1e-6);
            m_high[static_cast<std::size_t>(k - Lowest)] = power * 10 * (1 - 1e-6);
        }
    }
    int operator()(double v) const
    {
        // The binary exponent's decade, floor(E log10 2), is v's decade or
        // the one below: one comparison decides.
        int exponent;
        std::frexp(v, &exponent);
        int k = ((exponent - 1) * 1233) >> 12;
        if (k >= Lowest && k <= Highest) {
            std::size_t at = static_cast<std::size_t>(k - Lowest);
            if (!(v < m_high[at]) && at + 1 < m_high.size())
                ++at;
            if (v > m_low[at] && v < m_high[at])
                return static_cast<int>(at) + Lowest;
        }
        return static_cast<int>(std::floor(std::log(v) / std::log(10.0)));
    }

private:
    std::array<double, Highest - Lowest + 1> m_low{}, m_high{};
};

const Decades &DecadeOf()
{
    static const Decades decades;
    return decades;
}

} // namespace

StrNRounding RoundForField(int width, double value)
{
    const PowersOfTen &pow10 = Powers();
    if (!std::isfinite(value))
        throw TessarinError("the number formatter got a value that is not a number");
    const int p = width;
    const int w = value < 0.0 ? p - 1 : p;
    // A value whose integer part does not fit gets a marker whatever the
    // digits would have been, so the markers are decided first.
    const double limit = pow10(w);
    if (value < 0.6 - limit)
        return {StrNRounding::Small, 0.0f};
    if (value > limit - 0.6)
        return {StrNRounding::Big, 0.0f};
    int e = 0;
    if (value != 0.0)
        e = DecadeOf()(std::fabs(value));
    if (e < 0)
        e = -1;
    if (e > w - 2)
        e = e - 1;
    const double scale = pow10(w - 2 - e);
    const float y = static_cast<float>(std::floor(value * scale + 0.5) / scale);
    if (!std::isfinite(y))
        throw TessarinError("the number formatter cannot write " + ShortestText(value) + " in " +
                            std::to_string(width) + " characters");
    return {StrNRounding::Digits, y};
}

std::string strN(int width, double value)
{
    const StrNRounding rounding = RoundForField(width, value);
    switch (rounding.kind) {
    case StrNRounding::Small:
        return "Small";
    case StrNRounding::Big:
        return " Big ";
    case StrNRounding::Digits:
        break;
    }
    return FieldText(width, rounding.rounded);
}

const std::string &FieldFormatter::operator()(double value)
{
    const StrNRounding rounding = RoundForField(m_width, value);
    if (rounding.kind == StrNRounding::Small)
        return m_small;
    if (rounding.kind == StrNRounding::Big)
        return m_big;
    std::uint32_t bits;
    std::memcpy(&bits, &rounding.rounded, sizeof bits);
    Front &front = m_front[(bits * 2654435761u) >> 20];
    if (front.text && front.bits == bits)
        return *front.text;
    auto [known, added] = m_texts.try_emplace(bits);
    if (added)
        known->second = FieldText(m_width, rounding.rounded);
    // Elements of an unordered_map stay where they are as it grows.
    front = {bits, &known->second};
    return known->second;
}

std::string NumberPrintForm(long long value) { return (value < 0 ? "" : " ") + std::to_string(value) + " "; }

} // namespace tessarin
