#include "io/layout_csv.h"

#include "io/field_splitter.h"
#include "io/distance_cell.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace tessarin {

void WriteLayoutCsv(std::ostream &out, const Layout &layout, int itemCount, const std::vector<std::string> &names)
{
    const bool named = !names.empty();
    out << (named ? "item,name,x,y\n" : "item,x,y\n");
    for (int i = 1; i <= itemCount; ++i) {
        out << i << ',';
        if (named)
            out << QuotedField(names[static_cast<std::size_t>(i - 1)]) << ',';
        out << ShortestText(layout[i]) << ',' << ShortestText(layout[itemCount + i]) << '\n';
    }
}

std::string LayoutCsvText(const Layout &layout, int itemCount, const std::vector<std::string> &names)
{
    std::ostringstream out;
    WriteLayoutCsv(out, layout, itemCount, names);
    return out.str();
}

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

template <typename T>
bool parseWhole(std::string_view text, T &value)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

Layout ReadLayoutCsv(const std::string &fileName, std::vector<std::string> *names)
{
    errno = 0;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw TessarinError(fileName + ": the map file cannot be opened (" +
                            std::strerror(errno != 0 ? errno : EIO) + ")");
    std::vector<float> xs;
    std::vector<float> ys;
    std::vector<std::string> itemNames;
    bool named = false;
    std::string line;
    std::vector<Field> fields;
    long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::string_view text = trimmed(line);
        if (text.empty())
            continue;
        if (lineNumber == 1 && (text == "item,x,y" || text == "item,name,x,y")) {
            named = text == "item,name,x,y";
            continue;
        }
        const std::string where = fileName + ", line " + std::to_string(lineNumber) + ": ";
        std::string record(text);
        FieldSplit split;
        // A quoted name may hold line ends.
        while ((split = SplitDelimited(record, ',', fields)) == FieldSplit::QuoteOpen && std::getline(in, line)) {
            ++lineNumber;
            record += '\n';
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            record += line;
        }
        const std::size_t expected = named ? 4 : 3;
        if (split != FieldSplit::Complete || fields.size() != expected)
            throw TessarinError(where + (named ? "expected four fields: item,name,x,y" : "expected three fields: item,x,y"));
        long item = 0;
        float x = 0.0f;
        float y = 0.0f;
        const std::size_t xField = named ? 2 : 1;
        if (fields[0].quoted || !parseWhole(fields[0].text, item) || item != static_cast<long>(xs.size()) + 1)
            throw TessarinError(where + "expected item " + std::to_string(xs.size() + 1));
        if (fields[xField].quoted || fields[xField + 1].quoted || !parseWhole(fields[xField].text, x) ||
            !parseWhole(fields[xField + 1].text, y) || !std::isfinite(x) || !std::isfinite(y))
            throw TessarinError(where + "the coordinates of item " + std::to_string(item) + " are not numbers");
        if (named)
            itemNames.push_back(fields[1].text);
        xs.push_back(x);
        ys.push_back(y);
    }
    if (xs.empty())
        throw TessarinError(fileName + ": the map file holds no items");
    const std::size_t n = xs.size();
    Layout layout(2 * n + 1, 0.0f);
    for (std::size_t i = 0; i < n; ++i) {
        layout[i + 1] = xs[i];
        layout[n + i + 1] = ys[i];
    }
    if (names)
        *names = std::move(itemNames);
    return layout;
}

void CheckLayoutFits(const Layout &layout, const std::vector<std::string> &mapNames, const std::string &mapFile,
                     int itemCount, const std::vector<std::string> &tableNames, const std::string &tableFile)
{
    const std::size_t items = layout.empty() ? 0 : (layout.size() - 1) / 2;
    if (items != static_cast<std::size_t>(itemCount))
        throw TessarinError(mapFile + " holds a map of " + std::to_string(items) + " items, but " + tableFile +
                            " has " + std::to_string(itemCount));
    if (mapNames.empty())
        return;
    if (tableNames.empty())
        throw TessarinError(mapFile + " names its items, but " + tableFile + " does not: item 1 is " +
                            ShownText(mapNames[0]) + " in the map");
    for (std::size_t k = 0; k < mapNames.size() && k < tableNames.size(); ++k)
        if (mapNames[k] != tableNames[k])
            throw TessarinError(mapFile + ": item " + std::to_string(k + 1) + " is named " + ShownText(mapNames[k]) +
                                " in the map, but " + ShownText(tableNames[k]) + " in " + tableFile);
}

} // namespace tessarin
