#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// The one splitter of records into fields for every reader, with its two
// grammars: delimited (RFC 4180 at a comma or a tab: the square matrix and
// the map CSV) and rows (tabs or runs of blanks: the lower triangle and
// PHYLIP). A field written in double quotes, doubled quotes standing for one,
// is read the same way in both.

/// One field of a record.
struct Field {
    /// The text: for a quoted field what lies between the quotes, doubled
    /// quotes made single; otherwise the text without blanks around it.
    std::string text;
    /// Written in double quotes (which are not part of the text).
    bool quoted = false;
};

/// How splitting a record ended.
enum class FieldSplit {
    Complete,
    /// A quoted field runs past the end of the text: the record goes on on
    /// the next line (a line end inside quotes belongs to the field).
    QuoteOpen,
    /// Something other than blanks stands between a closing quote and the
    /// next delimiter; the last field in `fields` is the one at fault.
    TextAfterQuote,
};

/// Splits one record into fields at `delimiter` as RFC 4180 says: a field
/// that starts with a double quote (after blanks) runs to its closing quote
/// and may hold delimiters, line ends and doubled quotes. An empty text is
/// one empty field.
FieldSplit SplitDelimited(std::string_view record, char delimiter, std::vector<Field> &fields);

/// Splits a row into its fields: at single tabs when the row holds a tab
/// (the delimited grammar at tabs; blanks around a field dropped, empty
/// fields at the end too), otherwise at runs of blanks. A field that starts
/// with a double quote runs to its closing quote, doubled quotes standing for
/// one; between blanks a closing quote ends the field even with no blank
/// after it. A blank row gives no fields. Returns false when a double quote
/// is not closed.
/// With `tabsOnly` a row is split at tabs only, also when it holds none (it
/// is then one field): the rows of a tab-separated file.
bool SplitRow(std::string_view row, std::vector<Field> &fields, bool tabsOnly = false);

/// The delimiter of a record: the first comma or tab outside quotes, or
/// '\0' when there is neither.
char FindDelimiter(std::string_view record);

/// A name written as one RFC 4180 field: quoted (with doubled quotes) when it
/// holds a comma, a double quote, a line end or blanks at either end.
std::string QuotedField(const std::string &text);

} // namespace tessarin
