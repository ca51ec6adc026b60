#include "base/tessarin_error.h"
#include "base/str_n.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace tessarin {
namespace {

struct FormatCase {
    int width;
    double value;
    const char *expected;
};

TEST(StrN, WritesFixedWidthNumbers)
{
    const FormatCase cases[] = {
        {3, 12.345, " 12"},  {3, 0.5, " .5"},   {3, 0.25, ".25"},       {3, 5.55, "5.6"},
        {3, 9.96, " 10"},    {3, 999.3, "999"}, {3, 1234, " Big "},     {3, 0, "  0"},
        {3, 0.004, "  0"},   {3, -3, " -3"},    {3, -0.06, "-.1"},      {3, -0.04, "  0"},
        {3, -9.96, "-10"},   {3, -99.5, "Small"}, {6, 87.6543, "87.654"}, {6, 12.3, "  12.3"},
        {6, 100, "   100"},  {6, 99.99996, "   100"}, {6, -12.3456, "-12.35"}, {6, 0, "     0"},
        // Halves round toward plus infinity, also below zero.
        {3, -2.5, " -2"},    {3, -3.5, " -3"},  {3, -3.6, " -4"},       {3, 2.5, "2.5"},
        // The markers are tested on the value itself, with a margin of 0.6.
        {3, 999.4, "999"},   {3, 999.45, " Big "}, {3, -99.4, "-99"},   {6, 999999.3, "999999"},
        {6, 999999.5, " Big "}, {6, -99999.5, "Small"}, {6, 87.65, " 87.65"},
        // Values that round to a few hundred-thousandths keep the point form.
        {6, 0.00003, ".00003"}, {6, 0.000005, ".00001"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.value));
        EXPECT_EQ(strN(c.width, c.value), c.expected);
    }
}

TEST(StrN, SinglePrecisionTableValuesCrossTheMarkerMargin)
{
    // 999.4 and -99.4 stored as floats lie just beyond the margins.
    EXPECT_EQ(strN(3, static_cast<float>(999.4)), " Big ");
    EXPECT_EQ(strN(3, 999.4), "999");
    EXPECT_EQ(strN(3, static_cast<float>(-99.4)), "Small");
    EXPECT_EQ(strN(3, static_cast<float>(87.654)), " 88");
    EXPECT_EQ(strN(6, static_cast<float>(87.654)), "87.654");
}

TEST(StrN, KeepsTheWidthForEveryValue)
{
    for (int width : {3, 6}) {
        for (double magnitude = 1e-7; magnitude < 1e39; magnitude *= 1.37) {
            for (double value : {magnitude, -magnitude}) {
                const std::string text = strN(width, value);
                if (text != " Big " && text != "Small") {
                    ASSERT_EQ(static_cast<int>(text.size()), width) << value;
                }
            }
        }
    }
    EXPECT_THROW(strN(6, std::nan("")), TessarinError);
    EXPECT_THROW(strN(6, INFINITY), TessarinError);
}

TEST(FieldFormatter, GivesStrNsTextForEveryValue)
{
    // Values that round to the same text, markers at both ends, powers of
    // ten (where the digit count is taken from a logarithm), halves, and a
    // sweep of single-precision table values in one formatter per width, so
    // that cached texts are reused across many values.
    std::vector<double> values = {0.0, 0.04, 0.05, 0.95, 1.0, 9.95, 10.0, 99.5, 100.0, 999.4, 999.5, 1000.0,
                                  -0.04, -0.05, -1.0, -9.95, -10.0, -99.4, -99.5, 1e-30, 123456.0, 0.6, -0.6};
    for (float v = -120.0f; v < 1100.0f; v += 0.0137f)
        values.push_back(v);
    for (int width : {3, 6}) {
        FieldFormatter format(width);
        for (int pass = 0; pass < 2; ++pass)
            for (double value : values) {
                SCOPED_TRACE(value);
                ASSERT_EQ(format(value), strN(width, value));
            }
        EXPECT_THROW(format(std::nan("")), TessarinError);
    }
}

// The rounding as first written: the digit count from the quotient of two
// logarithms at every value.
float LogarithmRounding(int width, double value)
{
    const int w = value < 0.0 ? width - 1 : width;
    int e = value != 0.0 ? static_cast<int>(std::floor(std::log(std::fabs(value)) / std::log(10.0))) : 0;
    if (e < 0)
        e = -1;
    if (e > w - 2)
        e = e - 1;
    const double scale = std::pow(10.0, w - 2 - e);
    return static_cast<float>(std::floor(value * scale + 0.5) / scale);
}

TEST(RoundForField, RoundsAsTheLogarithmsDoEvenNextToPowersOfTen)
{
    // The logarithms' quotient is off by an ulp at some powers of ten (1000
    // gives 2.9999999999999996): the values around every power, a few ulps
    // and a millionth either side, must round as the logarithms have them.
    std::vector<double> values;
    for (int k = -10; k <= 16; ++k) {
        const double power = std::pow(10.0, k);
        for (double relative : {0.0, 1e-6, -1e-6, 2e-6, -2e-6, 1e-9, -1e-9})
            values.push_back(power * (1 + relative));
        double up = power, down = power;
        for (int step = 0; step < 4; ++step) {
            up = std::nextafter(up, 2 * power);
            down = std::nextafter(down, 0.0);
            values.push_back(up);
            values.push_back(down);
        }
    }
    std::uint64_t state = 88172645463325252ull; // xorshift: values spread over 1e-9 .. 1e6
    for (int k = 0; k < 20000; ++k) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        values.push_back(std::pow(10.0, -9.0 + 15.0 * static_cast<double>(state >> 11) * 0x1p-53));
    }
    for (int width : {3, 6, 8})
        for (double magnitude : values)
            for (double value : {magnitude, -magnitude}) {
                const StrNRounding rounding = RoundForField(width, value);
                if (rounding.kind != StrNRounding::Digits)
                    continue;
                SCOPED_TRACE(testing::Message() << width << " " << value);
                ASSERT_EQ(rounding.rounded, LogarithmRounding(width, value));
            }
}

TEST(StrN, IgnoresTheLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale on this machine to try (scripts/test provides one)";
    const std::string text = strN(6, 12.3);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "  12.3");
}

struct TextCase {
    float value;
    const char *expected;
};

TEST(NumberText, WritesSevenSignificantDigitsWithoutPadding)
{
    const TextCase cases[] = {
        {0.0f, " 0"},         {0.5f, " .5"},        {-0.25f, "-.25"},       {12.0f, " 12"},
        {1234567.0f, " 1234567"}, {100.0f, " 100"}, {87.654f, " 87.654"},  {1e-5f, " .00001"},
        {-1230.0f, "-1230"},  {1e10f, " 10000000000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(NumberText(c.value), c.expected);
    }
}

} // namespace
} // namespace tessarin
