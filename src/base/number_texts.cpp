#include "base/number_texts.h"

#include <charconv>

namespace tessarin {

namespace {

template <typename T, typename... Format>
std::string written(T value, Format... format)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string ShortestText(double value) { return written(value); }
std::string ShortestText(float value) { return written(value); }

std::string SignificantText(double value, int digits)
{
    return written(value, std::chars_format::general, digits);
}

} // namespace tessarin
