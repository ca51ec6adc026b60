#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace tessarin {

/// Writes `value` right-aligned in exactly `width` characters, with as many
/// decimals as the field leaves room for (rounded, halves up), always with
/// '.' as the separator and no zero before the point below 1. A value whose
/// integer part does not fit gives one of the five-character markers " Big "
/// (too large) or "Small" (too far below zero), whatever the width.
/// Throws TessarinError for a value that is not finite.
std::string strN(int width, double value);

/// How strN writes a value in a field: one of the markers, or the digits of
/// the value rounded to the decimals the field leaves room for.
struct StrNRounding {
    enum Kind { Digits, Big, Small } kind = Digits;
    float rounded = 0.0f;
};

/// strN's first step: the marker, or the rounded value. Throws as strN does.
StrNRounding RoundForField(int width, double value);

/// strN for many values of one width, as a table of numbers needs: the same
/// texts, each distinct rounded value written out once.
class FieldFormatter {
public:
    explicit FieldFormatter(int width) : m_width(width) {}
    /// strN(width, value); the reference stays valid as long as the
    /// formatter. Throws as strN does.
    const std::string &operator()(double value);

private:
    int m_width;
    std::string m_big = " Big ";
    std::string m_small = "Small";
    std::unordered_map<std::uint32_t, std::string> m_texts; // by the rounded value's bits
    // A direct-mapped front of m_texts.
    struct Front {
        std::uint32_t bits = 0;
        const std::string *text = nullptr;
    };
    std::array<Front, 4096> m_front{};
};

/// The number text of a single-precision value: a blank or minus sign, at most
/// 7 significant digits, no trailing zeros in the fraction, no point for whole
/// values and no zero before the point (" .5", "-.25", " 0").
std::string NumberText(float value);

/// A whole number in the print form of a drawing surface: the sign's place
/// (a blank for 0 and above), the digits, one blank (" 12 ", "-3 ").
std::string NumberPrintForm(long long value);

} // namespace tessarin
