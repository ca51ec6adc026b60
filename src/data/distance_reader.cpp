#include "data/distance_reader.h"

#include "data/distance_statistics.h"
#include "data/lenient_number.h"
#include "data/sequential_input.h"
#include "data/shown_text.h"
#include "data/tessarin_error.h"

#include <cmath>
#include <cstdint>
#include <new>

namespace tessarin {

namespace {

class Reader {
public:
    explicit Reader(const std::string &fileName) : m_input(fileName) {}

    DistanceData read()
    {
        DistanceData data;
        data.ItemCount = readCount();
        const int n = data.ItemCount;
        m_input.readTextField(); // the title is not used
        // N - 1 row lines take at least N - 1 bytes. A file too short for
        // them is read without a table, for the same message, so that a
        // truncated file with a large count fails at once instead of first
        // taking up to a gigabyte.
        m_withoutTable = m_input.remainingBytes() < static_cast<std::uint64_t>(n - 1);
        if (!m_withoutTable)
            allocate(data);
        for (int i = 1; i <= n - 1; ++i)
            readRow(data, i);
        if (m_withoutTable)
            throw TessarinError(m_input.fileName() + ": the file changed while it was read");
        for (int i = 1; i <= n; ++i)
            cell(data, i, i) = 0.0f;
        m_input.close();
        ComputeDistanceStatistics(data, m_input.fileName());
        data.packPairs();
        return data;
    }

private:
    std::string where() const { return m_input.fileName() + ", line " + std::to_string(m_lineOfRow); }

    short readCount()
    {
        long line = m_input.lineNumber();
        std::string text = m_input.readNumberField();
        std::string prefix = m_input.fileName() + ", line " + std::to_string(line) + ": ";
        double value;
        try {
            value = LenientNumber(text);
        } catch (const TessarinError &) {
            throw TessarinError(prefix + "item count " + ShownText(text) + " is out of range");
        }
        if (value == 0.0 && text.find_first_of("0123456789") == std::string::npos)
            throw TessarinError(prefix + "the item count " + ShownText(text) + " is not a number");
        double rounded = std::nearbyint(value);
        if (!(rounded >= -32768.0 && rounded <= 32767.0))
            throw TessarinError(prefix + "item count " + EscapedText(text) + " is out of range");
        if (rounded < 0)
            throw TessarinError(prefix + "item count " + EscapedText(text) + " is negative");
        if (rounded < 2)
            throw TessarinError(prefix + "item count " + EscapedText(text) + ": a map needs at least two items");
        if (rounded > MaxItemCount)
            throw TessarinError(prefix + "item count " + EscapedText(text) + " is more than the " +
                                std::to_string(MaxItemCount) + " items a map can hold");
        return static_cast<short>(rounded);
    }

    void allocate(DistanceData &data)
    {
        std::size_t side = static_cast<std::size_t>(data.ItemCount) + 1;
        try {
            data.Distances.assign(side * side, 0.0f);
        } catch (const std::bad_alloc &) {
            throw TessarinError(m_input.fileName() + ": not enough memory for a table of " +
                                std::to_string(data.ItemCount) + " items");
        }
    }

    static float &cell(DistanceData &data, int i, int j)
    {
        return data.Distances[static_cast<std::size_t>(i) * (data.ItemCount + 1) + static_cast<std::size_t>(j)];
    }

    void store(DistanceData &data, int i, int k, const std::string &token)
    {
        const int n = data.ItemCount;
        const int column = i + k;
        if (column > n)
            throw TessarinError(where() + ": row line " + std::to_string(i) + " holds more values than the " +
                                std::to_string(n - i) + " items after item " + std::to_string(i));
        double value;
        try {
            value = LenientNumber(token);
        } catch (const TessarinError &) {
            value = HUGE_VAL;
        }
        float single = static_cast<float>(value);
        if (std::isinf(single))
            throw TessarinError(where() + ": the value " + ShownText(token) + " for items " + std::to_string(i) +
                                " and " + std::to_string(column) + " is beyond the single-precision range");
        if (m_withoutTable)
            return;
        cell(data, i, column) = single;
        cell(data, column, i) = single;
    }

    void readRow(DistanceData &data, int i)
    {
        const int n = data.ItemCount;
        m_lineOfRow = m_input.lineNumber();
        if (m_input.atEnd())
            throw TessarinError(m_input.fileName() + ": the file ends at row line " + std::to_string(i) + " of " +
                                std::to_string(n - 1));
        std::string line = m_input.readLine();
        std::size_t first = line.find_first_not_of(' ');
        std::size_t last = line.find_last_not_of(' ');
        std::string_view trimmed;
        if (first != std::string::npos)
            trimmed = std::string_view(line).substr(first, last - first + 1);

        int k = 1;
        std::string token;
        char previous = '\0';
        for (char c : trimmed) {
            if (c == ' ' && previous == ' ') {
                // a run of blanks is one separator
            } else if (c == ',' || c == ' ' || c == '\t') {
                store(data, i, k, token);
                ++k;
                token.clear();
            } else {
                token += c;
            }
            previous = c;
        }
        // The last value always belongs to column N; a short row drops it.
        if (k >= n - i)
            store(data, i, n - i, token);
    }

    SequentialInput m_input;
    long m_lineOfRow = 0;
    bool m_withoutTable = false;
};

} // namespace

DistanceData ReadDistances(const std::string &fileName) { return Reader(fileName).read(); }

} // namespace tessarin
