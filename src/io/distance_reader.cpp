#include "io/distance_reader.h"

#include "data/distance_statistics.h"
#include "base/lenient_number.h"
#include "io/sequential_input.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

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
        const long titleLine = m_input.lineNumber();
        const std::string title = m_input.readTextField(); // not used, but warned about
        if (m_input.textFieldEndedAtComma())
            m_titleCommaLine = titleLine;
        m_title = title;
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
        data.Warnings = std::move(m_warnings);
        data.WarningCount = m_warningCount;
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
            throw TessarinError(prefix + "item count " + EscapedText(text) + " is " + MoreThanItemLimit());
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

    /// Counts a warning about `line`; its text is made only while fewer
    /// than MaxReadingWarnings are kept.
    template <typename MakeText>
    void warn(long line, MakeText makeText)
    {
        ++m_warningCount;
        if (m_warnings.size() < MaxReadingWarnings)
            m_warnings.push_back({static_cast<int>(line), makeText()});
    }

    static std::string items(int i, int j) { return "items " + std::to_string(i) + " and " + std::to_string(j); }

    void warnAboutValue(int i, int column, const std::string &token, std::size_t used, float value)
    {
        warn(m_lineOfRow, [&] {
            if (used == 0)
                return "the value " + ShownText(token) + " for " + items(i, column) + " is not a number and reads as 0";
            return "the value " + ShownText(token) + " for " + items(i, column) + " reads as " + ShortestText(value) +
                   ": the text after the number is ignored";
        });
    }

    /// An empty token before the separator at `at`, or (`atEnd`) after the
    /// separator that ends the line.
    void warnAboutEmptyValue(int i, int column, std::string_view line, std::size_t at, bool atEnd = false)
    {
        warn(m_lineOfRow, [&] {
            if (!atEnd && at == 0 && line[0] == '\t')
                return "a tab at the start of the line gives a first value 0 for " + items(i, column);
            const auto name = [](char c) -> std::string { return c == ',' ? "comma" : c == '\t' ? "tab" : "blank"; };
            if (atEnd)
                return "the line ends with a " + name(line[at]) + ", so its last value is empty and reads as 0 for " +
                       items(i, column);
            if (at == 0)
                return "the line starts with a " + name(line[0]) + ", so its first value is empty and reads as 0 for " +
                       items(i, column);
            const std::string pair = line[at - 1] == line[at] ? "two " + name(line[at]) + "s"
                                                              : "a " + name(line[at - 1]) + " and a " + name(line[at]);
            return pair + " in a row give an empty value, read as 0, for " + items(i, column);
        });
    }

    void warnAboutCount(int i, int n, int values, const std::string &last)
    {
        const int expected = n - i;
        warn(m_lineOfRow, [&] {
            std::string text = "row line " + std::to_string(i) + " holds " + std::to_string(values) +
                               (values == 1 ? " value" : " values") + ", not the " + std::to_string(expected) +
                               " for " +
                               (expected == 1 ? "item " + std::to_string(n)
                                              : "items " + std::to_string(i + 1) + " to " + std::to_string(n)) +
                               ": ";
            const std::string lastValue = last.empty() ? "the last value (empty)" : "the last value " + ShownText(last);
            if (values > expected && last.empty())
                return text + "the separator at the end of the line adds an empty value, which replaces the distance of " +
                       items(i, n) + " with 0";
            if (values > expected)
                return text + lastValue + " replaces the distance of " + items(i, n);
            if (values == 0)
                return text + "the line is empty and its distances read as 0";
            if (values == 1)
                return text + lastValue + " is dropped and its distances read as 0";
            return text + lastValue + " is dropped and the distances to items " + std::to_string(i + values) + " to " +
                   std::to_string(n) + " read as 0";
        });
    }

    void store(DistanceData &data, int i, int k, const std::string &token)
    {
        const int n = data.ItemCount;
        const int column = i + k;
        if (column > n)
            throw TessarinError(where() + ": row line " + std::to_string(i) + " holds more values than the " +
                                std::to_string(n - i) + " items after item " + std::to_string(i));
        double value;
        std::size_t used = 0;
        try {
            value = LenientNumber(token, used);
        } catch (const TessarinError &) {
            value = HUGE_VAL;
            used = token.size();
        }
        float single = static_cast<float>(value);
        if (std::isinf(single))
            throw TessarinError(where() + ": the value " + ShownText(token) + " for items " + std::to_string(i) +
                                " and " + std::to_string(column) + " is beyond the single-precision range");
        if (used != token.size())
            warnAboutValue(i, column, token, used, single);
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

        if (i == 1 && m_titleCommaLine == m_lineOfRow)
            warn(m_titleCommaLine, [&] {
                return "the title " + ShownText(m_title) + " ends at a comma, so the rest of the line, " +
                       ShownText(line) + ", is read as row line 1 (put the title in double quotes to keep its commas)";
            });

        int k = 1;
        std::string token;
        char previous = '\0';
        for (std::size_t at = 0; at < trimmed.size(); ++at) {
            const char c = trimmed[at];
            if (c == ' ' && previous == ' ') {
                // a run of blanks is one separator
            } else if (c == ',' || c == ' ' || c == '\t') {
                if (token.empty())
                    warnAboutEmptyValue(i, i + k, trimmed, at);
                store(data, i, k, token);
                ++k;
                token.clear();
            } else {
                token += c;
            }
            previous = c;
        }
        const int values = trimmed.empty() ? 0 : k;
        // The last value always belongs to column N; a short row drops it.
        if (k >= n - i) {
            if (token.empty() && values > 0 && values <= n - i)
                warnAboutEmptyValue(i, n, trimmed, trimmed.size() - 1, true);
            store(data, i, n - i, token);
        }
        if (values != n - i)
            warnAboutCount(i, n, values, token);
    }

    SequentialInput m_input;
    long m_lineOfRow = 0;
    // The line of a title that ended at a comma (0: it did not), and the title.
    long m_titleCommaLine = 0;
    std::string m_title;
    std::vector<ReadingWarning> m_warnings;
    long long m_warningCount = 0;
    bool m_withoutTable = false;
};

} // namespace

DistanceData ReadDistances(const std::string &fileName) { return Reader(fileName).read(); }

} // namespace tessarin
