#include "distances/item_groups.h"

#include "io/field_splitter.h"
#include "io/distance_cell.h"
#include "io/sequential_input.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <unordered_map>

namespace tessarin {

namespace {

/// Builds the groups in the order they first appear.
class GroupIndex {
public:
    explicit GroupIndex(int itemCount) { m_groups.groupOf.assign(static_cast<std::size_t>(itemCount), -1); }

    void set(int item, const std::string &group)
    {
        auto [it, added] = m_index.emplace(group, static_cast<int>(m_groups.names.size()));
        if (added)
            m_groups.names.push_back(group);
        m_groups.groupOf[static_cast<std::size_t>(item - 1)] = it->second;
    }
    bool has(int item) const { return m_groups.groupOf[static_cast<std::size_t>(item - 1)] >= 0; }

    /// The groups in item order: the first-appearance order of the file may
    /// differ from the items'.
    ItemGroups inItemOrder() const
    {
        ItemGroups ordered;
        GroupIndex again(static_cast<int>(m_groups.groupOf.size()));
        for (std::size_t k = 0; k < m_groups.groupOf.size(); ++k)
            again.set(static_cast<int>(k + 1), m_groups.names[static_cast<std::size_t>(m_groups.groupOf[k])]);
        return again.m_groups;
    }

private:
    ItemGroups m_groups;
    std::unordered_map<std::string, int> m_index;
};

bool isMissing(const Field &field) { return !field.quoted && ReadCell(field.text).kind == CellKind::Missing; }

} // namespace

ItemGroups GroupsFromColumn(const DataTable &table, const std::string &columnName)
{
    const DataColumn *column = table.column(columnName);
    if (!column)
        throw TessarinError(table.fileName + ": no column is headed " + ShownText(columnName) +
                            " to give the groups");
    GroupIndex groups(table.itemCount());
    for (int i = 1; i <= table.itemCount(); ++i) {
        const std::size_t r = static_cast<std::size_t>(i - 1);
        if (column->missing[r])
            throw TessarinError(table.cellPlace(i, *column) + ": the group is missing (" +
                                ShownText(column->texts[r]) + "); every item needs a group");
        groups.set(i, column->texts[r]);
    }
    return groups.inItemOrder();
}

ItemGroups ReadGroupsFile(const std::string &fileName, const std::vector<std::string> &itemNames, int itemCount)
{
    std::unordered_map<std::string, int> items;
    for (int i = 1; i <= itemCount; ++i)
        items.emplace(itemNames.empty() ? std::to_string(i) : itemNames[static_cast<std::size_t>(i - 1)], i);
    auto itemTitle = [&](int i) {
        return "item " + std::to_string(i) +
               (itemNames.empty() ? std::string() : " " + ShownText(itemNames[static_cast<std::size_t>(i - 1)]));
    };

    SequentialInput input(fileName);
    GroupIndex groups(itemCount);
    std::vector<long> lineOf(static_cast<std::size_t>(itemCount), 0);
    char delimiter = '\0';
    bool first = true;
    std::vector<Field> fields;
    while (!input.atEnd()) {
        const long line = input.lineNumber();
        const std::string text = input.readLine();
        if (text.find_first_not_of(" \t") == std::string::npos)
            continue;
        const std::string at = fileName + ", line " + std::to_string(line) + ": ";
        if (delimiter == '\0') {
            delimiter = FindTableDelimiter(text);
            if (delimiter == '\0')
                throw TessarinError(at + "no comma, tab or semicolon separates a name from its group in " +
                                    ShownText(text));
        }
        if (SplitDelimited(text, delimiter, fields) != FieldSplit::Complete)
            throw TessarinError(at + "a double quote is not closed where it should be");
        if (fields.size() != 2)
            throw TessarinError(at + std::to_string(fields.size()) + " fields, not a name and its group");
        const auto item = items.find(fields[0].text);
        if (item == items.end()) {
            if (first) {
                first = false;
                continue; // a header
            }
            throw TessarinError(at + ShownText(fields[0].text) + " is not the name of an item of the table");
        }
        first = false;
        const int i = item->second;
        if (groups.has(i))
            throw TessarinError(at + itemTitle(i) + " is given a group a second time (first on line " +
                                std::to_string(lineOf[static_cast<std::size_t>(i - 1)]) + ")");
        if (isMissing(fields[1]))
            throw TessarinError(at + "the group of " + itemTitle(i) + " is missing (" + ShownText(fields[1].text) +
                                ")");
        groups.set(i, fields[1].text);
        lineOf[static_cast<std::size_t>(i - 1)] = line;
    }
    input.close();
    for (int i = 1; i <= itemCount; ++i)
        if (!groups.has(i))
            throw TessarinError(fileName + ": " + itemTitle(i) + " has no group; the file must give every item one");
    return groups.inItemOrder();
}

} // namespace tessarin
