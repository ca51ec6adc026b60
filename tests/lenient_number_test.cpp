#include "base/lenient_number.h"
#include "base/tessarin_error.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace tessarin {
namespace {

struct NumberCase {
    const char *text;
    double expected;
};

TEST(LenientNumber, ReadsTheLeadingNumber)
{
    const NumberCase cases[] = {
        {"12", 12},         {"12abc", 12},     {"abc", 0},        {"", 0},          {"  7", 7},
        {"-3.5", -3.5},     {"+4", 4},         {".5", 0.5},       {"5.", 5},        {"1 2", 12},
        {"1\t2\n3", 123},   {"- 12", -12},     {"1e3", 1000},     {"1E-2", 0.01},   {"2e", 2},
        {"2e+", 2},         {"1.2.3", 1.2},    {"--5", 0},        {"inf", 0},       {"nan", 0},
        {"6000 and letters", 6000},            {"1e-400", 0},     {"0.000e999", 0}, {"12,5", 12},
        {"1 e 2", 100},     {"\r5", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LenientNumber(c.text), c.expected);
    }
}

TEST(LenientNumber, IgnoresTheLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale on this machine to try (scripts/test provides one)";
    const double value = LenientNumber("2.5");
    const double comma = LenientNumber("2,5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(value, 2.5);
    EXPECT_EQ(comma, 2.0);
}

TEST(LenientNumber, RefusesNumbersBeyondDoubleRange)
{
    EXPECT_THROW(LenientNumber("1e400"), TessarinError);
    EXPECT_THROW(LenientNumber("-1e309"), TessarinError);
    EXPECT_EQ(LenientNumber("1e308"), 1e308);
    EXPECT_TRUE(std::signbit(LenientNumber("-1e-400")));
}

TEST(RoundToShort, RoundsHalvesToEven)
{
    const NumberCase cases[] = {{"0.5", 0}, {"1.5", 2}, {"2.5", 2}, {"-0.5", 0}, {"14.6", 15}, {"-1.5", -2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RoundToShort(LenientNumber(c.text), "value"), c.expected);
    }
    EXPECT_THROW(RoundToShort(32767.5, "value"), TessarinError);
    EXPECT_THROW(RoundToShort(1e9, "value"), TessarinError);
    EXPECT_EQ(RoundToShort(-32768.4, "value"), -32768);
}

} // namespace
} // namespace tessarin
