#include "data/shortest_text.h"

#include <charconv>

namespace tessarin {

namespace {

template <typename T>
std::string shortest(T value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string ShortestText(double value) { return shortest(value); }
std::string ShortestText(float value) { return shortest(value); }

} // namespace tessarin
