#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tessarin {

/// One column of a data table: a variable, or the column that names the
/// groups.
struct DataColumn {
    /// The header's text for the column.
    std::string name;
    /// True when every cell that is not missing is a number (and at least
    /// one is); otherwise the column holds text: a nominal variable.
    bool numeric = true;
    /// Per item, the cell as written (quotes removed, blanks around it
    /// dropped).
    std::vector<std::string> texts;
    /// Per item, the number in double precision (numeric columns only; 0
    /// where missing).
    std::vector<double> numbers;
    /// Per item, true where the cell is empty, "NA" or "?".
    std::vector<bool> missing;
};

/// A table of items and variables: one row per item, one column per variable.
struct DataTable {
    /// The file it was read from, for messages.
    std::string fileName;
    /// The item names, names[i - 1] naming item i; empty when the table has
    /// no name column (the items are then known by their numbers 1..N).
    std::vector<std::string> names;
    /// The header of the name column ("" for R's unnamed first column or
    /// when there is none).
    std::string nameColumn;
    /// The variables, in file order, the name column left out.
    std::vector<DataColumn> columns;
    /// Per item, the 1-based line its row begins on.
    std::vector<long> lines;
    /// ',' for the decimal comma of a semicolon-separated file, else '.'.
    char decimal = '.';

    int itemCount() const { return static_cast<int>(lines.size()); }

    /// The column whose header is `name`, or nullptr.
    const DataColumn *column(const std::string &name) const
    {
        for (const DataColumn &c : columns)
            if (c.name == name)
                return &c;
        return nullptr;
    }

    /// Item i (1-based) as messages name it: "item 3 \"Fiat 128\"" or "item 3".
    std::string itemTitle(int i) const;
    /// Where the cell of item i in `column` is, for messages: the file, the
    /// line, the column and the item.
    std::string cellPlace(int i, const DataColumn &column) const;
};

} // namespace tessarin
