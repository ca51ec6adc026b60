#include "search/layout_csv.h"

#include "data/shortest_text.h"
#include "data/tessarin_error.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace tessarin {

void WriteLayoutCsv(std::ostream &out, const Layout &layout, int itemCount)
{
    out << "item,x,y\n";
    for (int i = 1; i <= itemCount; ++i)
        out << i << ',' << ShortestText(layout[i]) << ',' << ShortestText(layout[itemCount + i]) << '\n';
}

std::string LayoutCsvText(const Layout &layout, int itemCount)
{
    std::ostringstream out;
    WriteLayoutCsv(out, layout, itemCount);
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

Layout ReadLayoutCsv(const std::string &fileName)
{
    errno = 0;
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw TessarinError(fileName + ": the map file cannot be opened (" +
                            std::strerror(errno != 0 ? errno : EIO) + ")");
    std::vector<float> xs;
    std::vector<float> ys;
    std::string line;
    long lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::string_view text = trimmed(line);
        if (text.empty())
            continue;
        if (lineNumber == 1 && text == "item,x,y")
            continue;
        const std::string where = fileName + ", line " + std::to_string(lineNumber) + ": ";
        std::size_t first = text.find(',');
        std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
        if (second == std::string_view::npos || text.find(',', second + 1) != std::string_view::npos)
            throw TessarinError(where + "expected three fields: item,x,y");
        long item = 0;
        float x = 0.0f;
        float y = 0.0f;
        if (!parseWhole(text.substr(0, first), item) || item != static_cast<long>(xs.size()) + 1)
            throw TessarinError(where + "expected item " + std::to_string(xs.size() + 1));
        if (!parseWhole(text.substr(first + 1, second - first - 1), x) ||
            !parseWhole(text.substr(second + 1), y) || !std::isfinite(x) || !std::isfinite(y))
            throw TessarinError(where + "the coordinates of item " + std::to_string(item) + " are not numbers");
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
    return layout;
}

} // namespace tessarin
