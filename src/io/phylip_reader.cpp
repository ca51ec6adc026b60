#include "io/phylip_reader.h"

#include "io/distance_cell.h"
#include "io/distance_reader.h"
#include "io/named_table_builder.h"
#include "io/sequential_input.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tessarin {

namespace {

constexpr std::size_t StrictNameWidth = 10;

std::vector<std::string> splitBlanks(std::string_view text)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos == text.size())
            return fields;
        const std::size_t end = text.find_first_of(" \t", pos);
        fields.emplace_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = end == std::string_view::npos ? text.size() : end;
    }
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

enum class Shape { Square, Lower, LowerWithDiagonal };

class PhylipReader {
public:
    PhylipReader(const std::string &fileName, bool strict, CellMeaning meaning)
        : m_input(fileName), m_table(fileName), m_strict(strict), m_meaning(meaning)
    {
    }

    /// True when a relaxed reading stopped at a word after a row's name: a
    /// sign of a strict name with a blank in it.
    bool stoppedAtWordAfterName() const { return m_wordAfterName; }

    DistanceData read()
    {
        std::string text;
        if (!nextLine(text))
            throw TessarinError(m_input.fileName() + ": the file holds no table");
        const std::vector<std::string> first = splitBlanks(text);
        if (first.size() != 1 || first[0].find_first_not_of("0123456789") != std::string::npos)
            throw TessarinError(at() + "the first line of a PHYLIP file holds only the item count, not " +
                                ShownText(trimmed(text)));
        const std::string &count = first[0];
        m_n = count.size() > 5 ? MaxItemCount + 1 : std::stoi(count);
        // Every shape holds at least N (N - 1) / 2 distances of a digit and a
        // separator each: a shorter file is read through without the table.
        const auto n = static_cast<std::uint64_t>(m_n);
        m_table.begin(m_n, m_input.fileName() + ", line " + std::to_string(m_line),
                      m_input.remainingBytes() >= n * (n - 1));

        for (int i = 1; i <= m_n; ++i)
            readRow(i);
        if (nextLine(text))
            throw TessarinError(at() + "a line after the " + std::to_string(m_n) + " rows the first line counts: " +
                                ShownText(trimmed(text)));
        m_input.close();
        m_table.setNames(m_names, m_lines);
        return m_table.finish();
    }

private:
    std::string at() const { return m_input.fileName() + ", line " + std::to_string(m_line) + ": "; }

    std::string item(int i) const
    {
        const std::size_t k = static_cast<std::size_t>(i - 1);
        return "item " + std::to_string(i) + (k < m_names.size() ? " " + ShownText(m_names[k]) : std::string());
    }

    bool nextLine(std::string &text)
    {
        if (m_pending) {
            m_pending = false;
            text = std::move(m_pendingText);
            m_line = m_pendingLine;
            return true;
        }
        while (!m_input.atEnd()) {
            m_line = m_input.lineNumber();
            text = m_input.readLine();
            if (text.find_first_not_of(" \t") != std::string::npos)
                return true;
        }
        return false;
    }

    /// Whether the line after the current one holds values only (a row
    /// wrapped onto it) rather than the start of the next row.
    bool nextLineContinues()
    {
        const long line = m_line;
        if (!nextLine(m_pendingText)) {
            m_line = line;
            return false;
        }
        m_pending = true;
        m_pendingLine = m_line;
        m_line = line;
        const std::vector<std::string> fields = splitBlanks(m_pendingText);
        return !fields.empty() && LooksLikeCell(fields[0]);
    }

    void readRow(int i)
    {
        std::string text;
        if (!nextLine(text))
            throw TessarinError(m_input.fileName() + ": the file ends before the row of item " + std::to_string(i) +
                                " of " + std::to_string(m_n));
        std::vector<std::string> values;
        if (m_strict) {
            m_names.push_back(trimmed(std::string_view(text).substr(0, StrictNameWidth)));
            values = splitBlanks(text.size() > StrictNameWidth ? std::string_view(text).substr(StrictNameWidth)
                                                               : std::string_view());
        } else {
            values = splitBlanks(text);
            m_names.push_back(values.front());
            values.erase(values.begin());
            m_wordAfterName = !values.empty() && !LooksLikeCell(values.front());
        }
        m_lines.push_back(m_line);

        if (i == 1) {
            const std::size_t v = values.size();
            if (v >= static_cast<std::size_t>(m_n))
                m_shape = Shape::Square;
            else if (v == 0)
                m_shape = Shape::Lower;
            else if (nextLineContinues())
                m_shape = Shape::Square;
            else if (v == 1)
                m_shape = Shape::LowerWithDiagonal;
            else
                throw TessarinError(at() + "the first row, " + item(1) + ", holds " + std::to_string(v) +
                                    " " + CellsNoun(m_meaning) + ": " + std::to_string(m_n) +
                                    " in a square PHYLIP file, none (or its "
                                    "diagonal 0) in a lower-triangular one");
        }
        const std::size_t expected = m_shape == Shape::Square ? static_cast<std::size_t>(m_n)
                                     : m_shape == Shape::Lower ? static_cast<std::size_t>(i - 1)
                                                               : static_cast<std::size_t>(i);
        std::size_t done = 0;
        while (true) {
            if (values.size() > expected - done)
                throw TessarinError(at() + "the row of " + item(i) + " holds more than its " +
                                    std::to_string(expected) + " " + CellsNoun(m_meaning));
            for (const std::string &value : values)
                store(i, static_cast<int>(++done), value);
            m_wordAfterName = false;
            if (done == expected)
                return;
            if (!nextLine(text))
                throw TessarinError(m_input.fileName() + ": the file ends in the row of " + item(i) + ", after " +
                                    std::to_string(done) + " of its " + std::to_string(expected) + " " +
                                    CellsNoun(m_meaning));
            values = splitBlanks(text);
            if (!LooksLikeCell(values.front()))
                throw TessarinError(at() + "the row of " + item(i) + " holds " + std::to_string(done) +
                                    " " + CellsNoun(m_meaning) + ", not " + std::to_string(expected) +
                                    ", before the next name " + ShownText(values.front()));
        }
    }

    void store(int i, int j, const std::string &text)
    {
        const Cell cell = ReadCell(text);
        if (j == i) {
            if (!(cell.kind == CellKind::Number && cell.value == 0.0f))
                throw TessarinError(at() + "the diagonal cell of " + item(i) + " holds " + ShownText(text) +
                                    ", not 0");
            return;
        }
        const std::string pairName = item(i) + " and " + item(j);
        const std::string fault = PairCellFault(cell, text, pairName, m_meaning);
        if (!fault.empty())
            throw TessarinError(at() + fault);
        const bool missing = cell.kind == CellKind::Missing;
        if (m_shape != Shape::Square || j > i) {
            if (missing)
                m_table.setMissing(i, j);
            else
                m_table.setPair(i, j, cell.value);
            return;
        }
        if (!m_table.hasTable())
            return;
        if (missing != m_table.isMissing(j, i))
            throw TessarinError(at() + "the matrix is not symmetric: row " + std::to_string(i) + ", column " +
                                std::to_string(j) + " (" + pairName + ") holds " + ShownText(text) + ", but row " +
                                std::to_string(j) + ", column " + std::to_string(i) + " holds " +
                                (missing ? ShortestText(m_table.pair(j, i)) : std::string("a missing value")) +
                                ": a missing " + CellNoun(m_meaning) + " is missing in both halves");
        if (missing)
            return;
        const double a = cell.value, b = m_table.pair(j, i);
        if (std::fabs(a - b) > 1e-6 * std::fmax(std::fabs(a), std::fabs(b)))
            throw TessarinError(at() + "the matrix is not symmetric: row " + std::to_string(i) + ", column " +
                                std::to_string(j) + " (" + pairName + ") holds " + ShownText(text) + ", but row " +
                                std::to_string(j) + ", column " + std::to_string(i) + " holds " +
                                ShortestText(m_table.pair(j, i)));
    }

    SequentialInput m_input;
    NamedTableBuilder m_table;
    bool m_strict;
    CellMeaning m_meaning;
    int m_n = 0;
    long m_line = 0;
    Shape m_shape = Shape::Square;
    std::vector<std::string> m_names;
    std::vector<long> m_lines;
    bool m_wordAfterName = false;
    bool m_pending = false;
    std::string m_pendingText;
    long m_pendingLine = 0;
};

} // namespace

DistanceData ReadPhylip(const std::string &fileName, CellMeaning meaning)
{
    PhylipReader relaxed(fileName, false, meaning);
    try {
        return relaxed.read();
    } catch (const TessarinError &relaxedError) {
        PhylipReader strict(fileName, true, meaning);
        try {
            return strict.read();
        } catch (const TessarinError &) {
            if (relaxed.stoppedAtWordAfterName())
                throw;
            throw relaxedError;
        }
    }
}

DistanceData ReadPhylip(const std::string &fileName)
{
    return ReadPhylip(fileName, CellMeaning::Distance);
}

} // namespace tessarin
