#include "io/data_table.h"

#include "base/shown_text.h"

namespace tessarin {

std::string DataTable::itemTitle(int i) const
{
    const std::string number = "item " + std::to_string(i);
    return names.empty() ? number : number + " " + ShownText(names[static_cast<std::size_t>(i - 1)]);
}

std::string DataTable::cellPlace(int i, const DataColumn &column) const
{
    return fileName + ", line " + std::to_string(lines[static_cast<std::size_t>(i - 1)]) + ", column " +
           ShownText(column.name) + " of " + itemTitle(i);
}

} // namespace tessarin
