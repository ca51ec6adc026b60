#pragma once

#include "io/data_table.h"

#include <string>
#include <vector>

namespace tessarin {

/// A group for every item: what colours the map's labels.
struct ItemGroups {
    /// The groups' names in the order they first appear, item by item.
    std::vector<std::string> names;
    /// Per item (item i at [i - 1]), the index of its group in `names`.
    std::vector<int> groupOf;

    bool empty() const { return names.empty(); }
};

/// The groups from a column of a data table (text or numbers, each distinct
/// value a group). Throws TessarinError when no column has that header or a
/// cell of it is missing (naming the cell).
ItemGroups GroupsFromColumn(const DataTable &table, const std::string &columnName);

/// The groups from a file of name,group pairs (comma-, tab- or
/// semicolon-separated, one item per row, a header row allowed when its
/// first field names no item). `itemNames` are the items' names, or empty
/// for numbered items, which the file then names by number ("1", "2", ...).
/// Throws TessarinError naming the file and line for a name that is no item,
/// an item named twice, a missing group, and naming the item that the file
/// leaves without a group.
ItemGroups ReadGroupsFile(const std::string &fileName, const std::vector<std::string> &itemNames, int itemCount);

} // namespace tessarin
