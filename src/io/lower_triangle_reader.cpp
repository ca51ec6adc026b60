#include "io/lower_triangle_reader.h"

#include "io/distance_reader.h"
#include "io/distance_cell.h"
#include "io/named_table_builder.h"
#include "io/field_splitter.h"
#include "io/sequential_input.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <vector>

namespace tessarin {

namespace {

bool isWholeNumber(const Field &token)
{
    return !token.quoted && !token.text.empty() && token.text.find_first_not_of("0123456789") == std::string::npos;
}

class LowerTriangleReader {
public:
    LowerTriangleReader(const std::string &fileName, CellMeaning meaning)
        : m_input(fileName), m_table(fileName), m_meaning(meaning)
    {
    }

    DistanceData read()
    {
        std::vector<Field> tokens;
        long line = 0;
        if (!next(tokens, line))
            throw TessarinError(m_input.fileName() + ": the file holds no table");
        long countLine = 0;
        long headerLine = 0;
        std::vector<std::string> header;
        bool haveRow = true;
        // A first line with a tab makes every row tab-separated, so a name
        // alone on its row may hold blanks.
        m_tabsOnly = m_tabFound;
        if (isWholeNumber(tokens[0])) {
            countLine = line;
            const std::string &count = tokens[0].text;
            m_count = count.size() > 5 ? MaxItemCount + 1 : std::stoi(count);
            if (m_count < 2)
                throw TessarinError(at(line) + "item count " + count + ": a map needs at least two items");
            if (m_count > MaxItemCount)
                throw TessarinError(at(line) + "item count " + count + " is " + MoreThanItemLimit());
            haveRow = false;
        } else if (tokens.size() >= 2 && allNames(tokens)) {
            headerLine = line;
            for (const Field &token : tokens)
                header.push_back(token.text);
            haveRow = false;
        }
        if (!haveRow && !next(tokens, line))
            throw TessarinError(m_input.fileName() + ": the file ends before the first row");

        // The first row fixes where the rows start and whether they end in
        // the diagonal.
        m_start = !header.empty() && tokens[0].text != header[0] ? 2 : 1;
        const std::size_t values = tokens.size() - 1;
        if (values != static_cast<std::size_t>(m_start - 1) && values != static_cast<std::size_t>(m_start))
            throw TessarinError(at(line) + "the first row, item " + std::to_string(m_start) + " " +
                                ShownText(tokens[0].text) + ", holds " + std::to_string(values) +
                                " " + CellsNoun(m_meaning) + "; it should hold " + std::to_string(m_start - 1) +
                                " (or " + std::to_string(m_start) + " with its diagonal 0)");
        m_diagonal = values == static_cast<std::size_t>(m_start);
        if (m_start == 2) {
            m_names.push_back(header[0]);
            m_lines.push_back(headerLine);
        }
        do {
            readRow(tokens, line);
        } while (next(tokens, line));
        m_input.close();

        const int n = static_cast<int>(m_names.size());
        if (countLine != 0 && n < m_count)
            throw TessarinError(m_input.fileName() + ": the file ends after row " + std::to_string(n) + " of the " +
                                std::to_string(m_count) + " that line " + std::to_string(countLine) + " counts");
        if (!header.empty()) {
            if (header.size() != static_cast<std::size_t>(n) && header.size() + 1 != static_cast<std::size_t>(n))
                throw TessarinError(at(headerLine) + "the header names " + std::to_string(header.size()) +
                                    " items, but the rows give " + std::to_string(n));
            for (std::size_t k = 0; k < header.size(); ++k)
                if (header[k] != m_names[k])
                    throw TessarinError(at(headerLine) + "column " + std::to_string(k + 1) + " of the header is " +
                                        ShownText(header[k]) + ", but the row of item " + std::to_string(k + 1) +
                                        " on line " + std::to_string(m_lines[k]) + " is named " +
                                        ShownText(m_names[k]));
        }
        const std::string where = m_input.fileName() + (countLine ? ", line " + std::to_string(countLine) : "");
        m_table.begin(n, where, true);
        m_table.setNames(m_names, m_lines);
        std::size_t next = 0;
        for (int i = 2; i <= n; ++i)
            for (int j = 1; j < i; ++j, ++next) {
                if (std::isnan(m_values[next]))
                    m_table.setMissing(i, j);
                else
                    m_table.setPair(i, j, m_values[next]);
            }
        return m_table.finish();
    }

private:
    std::string at(long line) const { return m_input.fileName() + ", line " + std::to_string(line) + ": "; }

    static bool allNames(const std::vector<Field> &tokens)
    {
        for (const Field &token : tokens)
            if (!token.quoted && LooksLikeCell(token.text))
                return false;
        return true;
    }

    bool next(std::vector<Field> &tokens, long &line)
    {
        while (!m_input.atEnd()) {
            line = m_input.lineNumber();
            const std::string text = m_input.readLine();
            m_tabFound = text.find('\t') != std::string::npos;
            if (!SplitRow(text, tokens, m_tabsOnly))
                throw TessarinError(at(line) + "a double quote is never closed");
            if (!tokens.empty())
                return true;
        }
        return false;
    }

    std::string item(int i) const { return "item " + std::to_string(i) + " " + ShownText(m_names[i - 1]); }

    void readRow(const std::vector<Field> &tokens, long line)
    {
        const int i = static_cast<int>(m_names.size()) + 1;
        if (m_count > 0 && i > m_count)
            throw TessarinError(at(line) + "a row more than the " + std::to_string(m_count) +
                                " items the first line counts");
        if (i > MaxItemCount)
            throw TessarinError(at(line) + MoreThanItemLimit());
        m_names.push_back(tokens[0].text);
        m_lines.push_back(line);
        const std::size_t expected = static_cast<std::size_t>(i - 1 + (m_diagonal ? 1 : 0));
        if (tokens.size() - 1 != expected)
            throw TessarinError(at(line) + "the row of " + item(i) + " holds " + std::to_string(tokens.size() - 1) +
                                " " + CellsNoun(m_meaning) + ", not the " + std::to_string(expected) +
                                (m_diagonal ? " to the items before it and its diagonal 0"
                                            : " to the items before it"));
        for (int j = 1; j <= static_cast<int>(expected); ++j) {
            const std::string &text = tokens[static_cast<std::size_t>(j)].text;
            const Cell cell = ReadCell(text);
            if (j == i) {
                if (!(cell.kind == CellKind::Number && cell.value == 0.0f))
                    throw TessarinError(at(line) + "the diagonal cell of " + item(i) + " holds " + ShownText(text) +
                                        ", not 0");
                continue;
            }
            const std::string pairName = item(i) + " and " + item(j);
            const std::string fault = PairCellFault(cell, text, pairName, m_meaning);
            if (!fault.empty())
                throw TessarinError(at(line) + fault);
            // A missing distance travels as NaN, which no cell read as a number holds.
            m_values.push_back(cell.kind == CellKind::Missing ? std::nanf("") : cell.value);
        }
    }

    SequentialInput m_input;
    NamedTableBuilder m_table;
    CellMeaning m_meaning;
    bool m_tabsOnly = false;
    bool m_tabFound = false;
    int m_count = 0;
    int m_start = 1;
    bool m_diagonal = false;
    std::vector<std::string> m_names;
    std::vector<long> m_lines;
    // The distances in row order: item 2 to 1, item 3 to 1 and 2, ...
    std::vector<float> m_values;
};

} // namespace

DistanceData ReadLowerTriangle(const std::string &fileName, CellMeaning meaning)
{
    return LowerTriangleReader(fileName, meaning).read();
}

DistanceData ReadLowerTriangle(const std::string &fileName)
{
    return ReadLowerTriangle(fileName, CellMeaning::Distance);
}

} // namespace tessarin
