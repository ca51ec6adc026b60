#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

/// One field of a comma- or tab-separated record.
struct DelimitedField {
    /// The text: for a quoted field what lies between the quotes, doubled
    /// quotes made single; otherwise the text without blanks around it.
    std::string text;
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
FieldSplit SplitDelimited(std::string_view record, char delimiter, std::vector<DelimitedField> &fields);

/// The delimiter of a record: the first comma or tab outside quotes, or
/// '\0' when there is neither.
char FindDelimiter(std::string_view record);

/// A name written as one RFC 4180 field: quoted (with doubled quotes) when it
/// holds a comma, a double quote, a line end or blanks at either end.
std::string QuotedField(const std::string &text);

} // namespace tessarin
