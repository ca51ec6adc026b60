#include "display/str_n.h"

#include "data/shortest_text.h"
#include "data/tessarin_error.h"

#include <cmath>
#include <algorithm>
#include <charconv>
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

std::string strN(int width, double value)
{
    if (!std::isfinite(value))
        throw TessarinError("the number formatter got a value that is not a number");
    const int p = width;
    const int w = value < 0.0 ? p - 1 : p;
    // A value whose integer part cannot fit gets a marker whatever the digits
    // would have been, so the markers are decided first.
    const double limit = std::pow(10.0, w);
    if (value < 0.6 - limit)
        return "Small";
    if (value > limit - 0.6)
        return " Big ";
    int e = 0;
    if (value != 0.0) {
        const double quotient = std::log(std::fabs(value)) / std::log(10.0);
        e = static_cast<int>(std::floor(quotient));
    }
    if (e < 0)
        e = -1;
    if (e > w - 2)
        e = e - 1;
    const double scale = std::pow(10.0, w - 2 - e);
    const float y = static_cast<float>(std::floor(value * scale + 0.5) / scale);
    if (!std::isfinite(y))
        throw TessarinError("the number formatter cannot write " + ShortestText(value) + " in " +
                            std::to_string(width) + " characters");

    std::string t = NumberText(y);
    t += std::string(static_cast<std::size_t>(std::max(p, 0)), ' ');
    t.erase(0, t.find_first_not_of(' '));
    if (static_cast<int>(t.size()) > p)
        t.resize(static_cast<std::size_t>(std::max(p, 0)));
    std::size_t last = t.find_last_not_of(' ');
    t.erase(last == std::string::npos ? 0 : last + 1);
    t = std::string(static_cast<std::size_t>(std::max(p, 0)), ' ') + t;
    t = t.substr(t.size() - static_cast<std::size_t>(std::max(p, 0)));

    return t;
}

} // namespace tessarin
