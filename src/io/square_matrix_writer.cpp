#include "io/square_matrix_writer.h"

#include "base/number_texts.h"

#include <ostream>
#include <string>

namespace tessarin {

void WriteSquareMatrix(std::ostream &out, const DistanceData &data)
{
    const int n = data.ItemCount;
    // Names always in quotes, as write.csv writes them, so that a name such
    // as "NA" or "12" reads back as a name.
    auto name = [&](int i) {
        if (data.Names.empty())
            return std::to_string(i);
        std::string quoted = "\"";
        for (char c : data.Names[static_cast<std::size_t>(i - 1)])
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    };
    std::string line;
    for (int j = 1; j <= n; ++j)
        line += "," + name(j);
    out << line << '\n';
    for (int i = 1; i <= n; ++i) {
        line = name(i);
        for (int j = 1; j <= n; ++j)
            line += "," + ShortestText(data.distance(i, j));
        out << line << '\n';
    }
}

} // namespace tessarin
