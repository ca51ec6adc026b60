#pragma once

#include <string>
#include <string_view>

namespace tessarin {

/// What the text of one cell of a named distance table holds.
enum class CellKind {
    /// A decimal number in single-precision range: optional sign, digits with
    /// an optional point ('.' whatever the locale) and an optional exponent.
    Number,
    /// Empty, "NA", "?" or "NaN": a value the table does not give.
    Missing,
    /// Anything else, or a number beyond the single-precision range.
    NotANumber,
    TooLarge,
};

/// One cell read strictly: the whole text (blanks around it aside) must be
/// the number. `value` is then the number read exactly as the distance file
/// reads it, so the same digits give the same bits in every format.
struct Cell {
    CellKind kind = CellKind::Missing;
    float value = 0.0f;
};
Cell ReadCell(std::string_view text);
/// ReadCell with `decimal` (',' or '.') as the decimal separator: with ','
/// one comma stands for the point ("1,5" reads as 1.5), and a point is still
/// taken when the text holds no comma.
Cell ReadCell(std::string_view text, char decimal);

/// True when `text` is a cell of some kind other than NotANumber: what
/// tells the values of a row from the names around them.
bool LooksLikeCell(std::string_view text);

/// What the cells of a table stand for, as the messages about them say it.
enum class CellMeaning {
    /// The distance of a pair, 0 or more.
    Distance,
    /// The weight of a pair (a weights file), 0 (leave the pair out) or more.
    Weight,
};

/// What messages call one cell and the cells of a row: "distance" and
/// "distances", or "weight" and "weights".
std::string CellNoun(CellMeaning meaning);
std::string CellsNoun(CellMeaning meaning);

/// How a message names the value of the pair `pairName` ("item 1 "A" and
/// item 2 "B""): "the distance between …" or "the weight of …".
std::string PairValueName(CellMeaning meaning, const std::string &pairName);

/// What is wrong with `cell`, read from `text` as the value of the pair
/// `pairName`, as the message goes on after the file and line: "the distance
/// between … , "-5", is negative: a distance is 0 or more"; likewise for a
/// cell that is not a number or is beyond the single-precision range. Empty
/// for a number of 0 or more and for a missing cell.
std::string PairCellFault(const Cell &cell, std::string_view text, const std::string &pairName, CellMeaning meaning);

} // namespace tessarin
