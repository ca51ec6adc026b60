#include "io/distance_cell.h"

#include "base/lenient_number.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>

namespace tessarin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view withoutBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool isDecimalNumber(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        ++digits;
    if (pos < text.size() && text[pos] == '.')
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos)
            ++digits;
    if (digits == 0)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        std::size_t exponentDigits = 0;
        for (; pos < text.size() && isDigit(text[pos]); ++pos)
            ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return pos == text.size();
}

} // namespace

Cell ReadCell(std::string_view text)
{
    text = withoutBlanks(text);
    if (text.empty() || text == "NA" || text == "?" || text == "NaN")
        return {CellKind::Missing, 0.0f};
    if (!isDecimalNumber(text))
        return {CellKind::NotANumber, 0.0f};
    double value;
    try {
        value = LenientNumber(text);
    } catch (const TessarinError &) {
        return {CellKind::TooLarge, 0.0f};
    }
    const float single = static_cast<float>(value);
    if (std::isinf(single))
        return {CellKind::TooLarge, 0.0f};
    return {CellKind::Number, single};
}

Cell ReadCell(std::string_view text, char decimal)
{
    const std::size_t comma = text.find(',');
    if (decimal != ',' || comma == std::string_view::npos)
        return ReadCell(text);
    if (text.find(',', comma + 1) != std::string_view::npos || text.find('.') != std::string_view::npos)
        return {CellKind::NotANumber, 0.0f};
    std::string withPoint(text);
    withPoint[comma] = '.';
    return ReadCell(withPoint);
}

bool LooksLikeCell(std::string_view text) { return ReadCell(text).kind != CellKind::NotANumber; }

std::string CellNoun(CellMeaning meaning) { return meaning == CellMeaning::Weight ? "weight" : "distance"; }

std::string CellsNoun(CellMeaning meaning) { return CellNoun(meaning) + "s"; }

std::string PairValueName(CellMeaning meaning, const std::string &pairName)
{
    return meaning == CellMeaning::Weight ? "the weight of " + pairName : "the distance between " + pairName;
}

std::string PairCellFault(const Cell &cell, std::string_view text, const std::string &pairName, CellMeaning meaning)
{
    const char *fault = nullptr;
    if (cell.kind == CellKind::NotANumber)
        fault = ", is not a number";
    else if (cell.kind == CellKind::TooLarge)
        fault = ", is beyond the single-precision range";
    else if (cell.kind == CellKind::Number && cell.value < 0.0f)
        fault = meaning == CellMeaning::Weight ? ", is negative: a weight is 0 or more"
                                               : ", is negative: a distance is 0 or more";
    if (!fault)
        return {};
    return PairValueName(meaning, pairName) + ", " + ShownText(text) + fault;
}

} // namespace tessarin
