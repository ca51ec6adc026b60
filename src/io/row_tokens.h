#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

/// One field of a row of a lower triangle or a PHYLIP file.
struct RowToken {
    std::string text;
    /// Written in double quotes (which are not part of the text).
    bool quoted = false;
};

/// Splits a row into its fields: at single tabs when the row holds a tab
/// (blanks around a field dropped, empty fields at the end too), otherwise at
/// runs of blanks. A field that starts with a double quote runs to its
/// closing quote, doubled quotes standing for one. A blank row gives no
/// fields. Returns false when a double quote is not closed.
/// With `tabsOnly` a row is split at tabs only, also when it holds none (it
/// is then one field): the rows of a tab-separated file.
bool SplitRow(std::string_view row, std::vector<RowToken> &tokens, bool tabsOnly = false);

} // namespace tessarin
