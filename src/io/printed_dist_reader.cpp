#include "io/printed_dist_reader.h"

#include "io/distance_cell.h"
#include "io/distance_reader.h"
#include "io/named_table_builder.h"
#include "io/field_splitter.h"
#include "io/sequential_input.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <algorithm>
#include <vector>

namespace tessarin {

namespace {

struct Line {
    long number = 0;
    std::vector<Field> tokens;
};

class PrintedDistReader {
public:
    PrintedDistReader(const std::string &fileName, CellMeaning meaning)
        : m_input(fileName), m_table(fileName), m_meaning(meaning)
    {
    }

    DistanceData read()
    {
        Line header;
        if (!next(header))
            throw TessarinError(m_input.fileName() + ": the file holds no table");
        Line row;
        if (!next(row))
            throw TessarinError(at(header.number) + "the file ends after the header: it holds no rows");
        // The first row is item 1 with its diagonal, or item 2 without it.
        m_diagonal = row.tokens[0].text == header.tokens[0].text;
        m_offset = m_diagonal ? 0 : 1;
        const int firstItem = m_diagonal ? 1 : 2;
        if (!m_diagonal) {
            m_names.push_back(header.tokens[0].text);
            m_lines.push_back(header.number);
        }

        // Block 1 holds every row: the rows go on as long as lines read as
        // the next row, which fixes N.
        const int k1 = static_cast<int>(header.tokens.size());
        bool more = true;
        for (int i = firstItem; more; ++i) {
            const std::size_t values = expected(i, 1, k1);
            if (i > MaxItemCount)
                throw TessarinError(at(row.number) + "more than the " + std::to_string(MaxItemCount) +
                                    " items a map can hold");
            if (!isRow(row, values)) {
                if (i == firstItem)
                    throw TessarinError(at(row.number) + "the first row, " + ShownText(row.tokens[0].text) +
                                        ", holds " + std::to_string(row.tokens.size() - 1) + " values, not 1");
                break;
            }
            m_names.push_back(row.tokens[0].text);
            m_lines.push_back(row.number);
            m_rows.emplace_back();
            store(i, 1, row);
            more = next(row);
        }
        const int n = static_cast<int>(m_names.size());
        const int columns = n - m_offset;
        checkHeader(header, 1, std::min(k1, columns));
        int done = k1;
        while (done < columns) {
            // `row` is the header of the next block.
            if (!more)
                throw TessarinError(m_input.fileName() + ": the file ends after the " + CellsNoun(m_meaning) +
                                    " to item " + std::to_string(done) + " of the " + std::to_string(columns) +
                                    " the rows need");
            const int c1 = done + 1;
            const int c2 = std::min(columns, done + static_cast<int>(row.tokens.size()));
            checkHeader(row, c1, c2);
            for (int i = firstItem; i <= n; ++i) {
                if (!next(row))
                    throw TessarinError(m_input.fileName() + ": the file ends before the row of " + item(i) +
                                        " in the block of columns " + std::to_string(c1) + " to " +
                                        std::to_string(c2));
                const std::size_t values = expected(i, c1, c2);
                if (row.tokens[0].text != m_names[static_cast<std::size_t>(i - 1)])
                    throw TessarinError(at(row.number) + "the row of " + item(i) + " is named " +
                                        ShownText(row.tokens[0].text) + " in the block of columns " +
                                        std::to_string(c1) + " to " + std::to_string(c2));
                if (row.tokens.size() - 1 != values)
                    throw TessarinError(at(row.number) + "the row of " + item(i) + " holds " +
                                        std::to_string(row.tokens.size() - 1) + " values in the block of columns " +
                                        std::to_string(c1) + " to " + std::to_string(c2) + ", not " +
                                        std::to_string(values));
                store(i, c1, row);
            }
            done = c2;
            more = next(row);
        }
        if (more)
            throw TessarinError(at(row.number) + "a line after the last block of the triangle: " +
                                ShownText(row.tokens[0].text));
        m_input.close();

        m_table.begin(n, m_input.fileName(), true);
        m_table.setNames(m_names, m_lines);
        for (int i = 2; i <= n; ++i)
            for (int j = 1; j < i; ++j)
                m_table.setPair(i, j, m_rows[static_cast<std::size_t>(i - 1 - m_offset)][static_cast<std::size_t>(j - 1)]);
        return m_table.finish();
    }

private:
    std::string at(long line) const { return m_input.fileName() + ", line " + std::to_string(line) + ": "; }

    std::string item(int i) const
    {
        return "item " + std::to_string(i) + " " + ShownText(m_names[static_cast<std::size_t>(i - 1)]);
    }

    bool next(Line &line)
    {
        while (!m_input.atEnd()) {
            line.number = m_input.lineNumber();
            const std::string text = m_input.readLine();
            if (!SplitRow(text, line.tokens))
                throw TessarinError(at(line.number) + "a double quote is never closed");
            if (!line.tokens.empty())
                return true;
        }
        return false;
    }

    /// How many values the row of item i holds in the block of columns
    /// c1..c2: its distances to the items before it (and its diagonal).
    std::size_t expected(int i, int c1, int c2) const
    {
        const int last = std::min(i - m_offset, c2);
        return last < c1 ? 0 : static_cast<std::size_t>(last - c1 + 1);
    }

    static bool isRow(const Line &line, std::size_t values)
    {
        if (line.tokens.size() != values + 1)
            return false;
        for (std::size_t k = 1; k < line.tokens.size(); ++k)
            if (line.tokens[k].quoted || !LooksLikeCell(line.tokens[k].text))
                return false;
        return true;
    }

    void checkHeader(const Line &header, int c1, int c2)
    {
        const std::size_t width = static_cast<std::size_t>(c2 - c1 + 1);
        if (header.tokens.size() != width)
            throw TessarinError(at(header.number) + "a header of " + std::to_string(header.tokens.size()) +
                                " names where the block of columns " + std::to_string(c1) + " to " +
                                std::to_string(c2) + " needs " + std::to_string(width));
        for (int c = c1; c <= c2; ++c) {
            const std::string &name = header.tokens[static_cast<std::size_t>(c - c1)].text;
            if (name != m_names[static_cast<std::size_t>(c - 1)])
                throw TessarinError(at(header.number) + "column " + std::to_string(c) + " of the header is " +
                                    ShownText(name) + ", but the row of item " + std::to_string(c) + " on line " +
                                    std::to_string(m_lines[static_cast<std::size_t>(c - 1)]) + " is named " +
                                    ShownText(m_names[static_cast<std::size_t>(c - 1)]));
        }
    }

    /// Keeps the values of the row of item i from column c1 on.
    void store(int i, int c1, const Line &row)
    {
        std::vector<float> &values = m_rows[static_cast<std::size_t>(i - 1 - m_offset)];
        for (std::size_t k = 1; k < row.tokens.size(); ++k) {
            const int j = c1 + static_cast<int>(k) - 1;
            const std::string &text = row.tokens[k].text;
            const Cell cell = ReadCell(text);
            if (j == i) {
                if (!(cell.kind == CellKind::Number && cell.value == 0.0f))
                    throw TessarinError(at(row.number) + "the diagonal cell of " + item(i) + " holds " +
                                        ShownText(text) + ", not 0");
                continue;
            }
            const std::string pairName = item(i) + " and item " + std::to_string(j);
            if (cell.kind == CellKind::Missing)
                throw TessarinError(at(row.number) + PairValueName(m_meaning, pairName) + " is missing (" +
                                    ShownText(text) + "): the map needs every pair");
            const std::string fault = PairCellFault(cell, text, pairName, m_meaning);
            if (!fault.empty())
                throw TessarinError(at(row.number) + fault);
            values.push_back(cell.value);
        }
    }

    SequentialInput m_input;
    NamedTableBuilder m_table;
    CellMeaning m_meaning;
    bool m_diagonal = false;
    int m_offset = 1;
    std::vector<std::string> m_names;
    std::vector<long> m_lines;
    // Row of item i (from item 1 + offset on): its distances to items 1, 2, ...
    std::vector<std::vector<float>> m_rows;
};

} // namespace

DistanceData ReadPrintedDist(const std::string &fileName, CellMeaning meaning)
{
    return PrintedDistReader(fileName, meaning).read();
}

DistanceData ReadPrintedDist(const std::string &fileName)
{
    return ReadPrintedDist(fileName, CellMeaning::Distance);
}

} // namespace tessarin
