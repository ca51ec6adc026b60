#include "io/square_matrix_reader.h"

#include "io/field_splitter.h"
#include "io/distance_cell.h"
#include "io/named_table_builder.h"
#include "io/sequential_input.h"
#include "base/number_texts.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace tessarin {

namespace {

struct Record {
    long line = 0;
    std::vector<Field> fields;
};

class SquareReader {
public:
    /// How a header of numbers is read.
    enum class Numbers {
        /// As the first row of an unnamed matrix, unless its first cell is
        /// empty and row 1's diagonal is not.
        Guess,
        AsNames,
        AsFirstRow,
    };

    SquareReader(const std::string &fileName, Numbers numbers, CellMeaning meaning)
        : m_input(fileName), m_table(fileName), m_numbers(numbers), m_meaning(meaning)
    {
    }

    /// True when the header holds numbers only: they may be item names
    /// (site numbers, say) or the first row of an unnamed matrix.
    bool headerOfNumbers() const { return m_headerOfNumbers; }
    /// True when a header of numbers was read as names.
    bool numbersAsNames() const { return m_headerOfNumbers && m_named; }

    DistanceData read()
    {
        Record header;
        if (!next(header))
            throw TessarinError(m_input.fileName() + ": the file holds no table");
        bool unnamed = true;
        for (const Field &field : header.fields)
            unnamed = unnamed && !field.quoted && ReadCell(field.text, m_decimal).kind != CellKind::NotANumber;
        m_headerOfNumbers = unnamed;

        Record row;
        std::vector<std::string> names;
        const std::uint64_t afterHeader = m_input.remainingBytes();
        const bool haveRow = next(row);
        const std::uint64_t afterRow = m_input.remainingBytes();
        if (unnamed && m_numbers == Numbers::AsNames)
            unnamed = false;
        // An empty corner above numbers, and a value where row 1 of the
        // named matrix has its diagonal: R's write.csv(quote = FALSE) of
        // items named by numbers rather than an unnamed matrix whose diagonal
        // is empty in row 1 alone.
        if (unnamed && m_numbers == Numbers::Guess && haveRow && header.fields.size() >= 2 &&
            header.fields[0].text.empty() && row.fields.size() == header.fields.size() &&
            row.fields[1].text.find_first_not_of(" \t") != std::string::npos)
            unnamed = false;
        if (!haveRow && !unnamed)
            throw TessarinError(at(header.line) + "the file ends after the header of names: it holds no rows");

        if (unnamed) {
            m_named = false;
            m_pending = std::move(row);
            m_hasPending = haveRow;
            row = std::move(header);
        } else {
            const std::size_t h = header.fields.size();
            std::size_t firstName;
            if (row.fields.size() == h + 1)
                firstName = 0; // R's write.table: no corner cell
            else if (row.fields.size() == h)
                firstName = 1; // a corner cell, as R's write.csv writes it
            else
                throw TessarinError(at(row.line) + "the first row holds " + std::to_string(row.fields.size()) +
                                    " fields, but the header on line " + std::to_string(header.line) +
                                    " holds " + std::to_string(h) +
                                    ": a row is its name and one " + CellNoun(m_meaning) +
                                    " per name of the header");
            for (std::size_t k = firstName; k < h; ++k)
                names.push_back(header.fields[k].text);
        }
        m_n = unnamed ? static_cast<int>(row.fields.size()) : static_cast<int>(names.size());
        // The rows still to come hold at least N - 1 separators each. A file
        // too short for them is read through without the table, so that a
        // long header alone does not take the table's memory.
        const auto left = static_cast<std::uint64_t>(m_n > 0 ? m_n - 1 : 0);
        const bool withTable = (unnamed ? afterHeader : afterRow) >= left * left;
        m_table.begin(m_n, where(header.line), withTable);
        m_table.setNames(names, std::vector<long>(names.size(), header.line));
        m_names = std::move(names);

        int i = 1;
        readRow(i, row);
        while (next(row)) {
            if (++i > m_n)
                throw TessarinError(at(row.line) + "a row more than the " + std::to_string(m_n) + " items " +
                                    (m_named ? "the header names" : "of line 1"));
            readRow(i, row);
        }
        if (i < m_n)
            throw TessarinError(m_input.fileName() + ": the file ends after row " + std::to_string(i) + " of " +
                                std::to_string(m_n));
        m_input.close();
        return m_table.finish();
    }

private:
    std::string where(long line) const { return m_input.fileName() + ", line " + std::to_string(line); }
    std::string at(long line) const { return where(line) + ": "; }

    std::string item(int i) const
    {
        return m_names.empty() ? "item " + std::to_string(i)
                               : "item " + std::to_string(i) + " " + ShownText(m_names[i - 1]);
    }

    /// The next record that is not blank; false at the end of the file.
    bool next(Record &record)
    {
        if (m_hasPending) {
            m_hasPending = false;
            record = std::move(m_pending);
            return true;
        }
        while (!m_input.atEnd()) {
            record.line = m_input.lineNumber();
            std::string text = m_input.readLine();
            if (text.find_first_not_of(" \t") == std::string::npos)
                continue;
            if (m_delimiter == '\0') {
                m_delimiter = FindTableDelimiter(text);
                if (m_delimiter == '\0')
                    throw TessarinError(at(record.line) + "no comma or tab separates the fields of " +
                                        ShownText(text));
                // R's write.csv2 and spreadsheets in many locales: semicolons
                // between the fields, the decimal comma in the numbers.
                m_decimal = m_delimiter == ';' ? ',' : '.';
            }
            FieldSplit split;
            while ((split = SplitDelimited(text, m_delimiter, record.fields)) == FieldSplit::QuoteOpen) {
                if (m_input.atEnd())
                    throw TessarinError(at(record.line) + "the double quote opened in field " +
                                        std::to_string(record.fields.size()) + " is never closed");
                text += '\n';
                text += m_input.readLine();
            }
            if (split == FieldSplit::TextAfterQuote)
                throw TessarinError(at(record.line) + "field " + std::to_string(record.fields.size()) +
                                    " has text after its closing double quote: " +
                                    ShownText(record.fields.back().text));
            return true;
        }
        return false;
    }

    void readRow(int i, const Record &row)
    {
        const int offset = m_named ? 1 : 0;
        const std::size_t expected = static_cast<std::size_t>(m_n + offset);
        if (row.fields.size() != expected)
            throw TessarinError(at(row.line) + "row " + std::to_string(i) + " holds " +
                                std::to_string(row.fields.size()) + " fields, not the " + std::to_string(expected) +
                                (m_named ? " of a name and " + std::to_string(m_n) + " " + CellsNoun(m_meaning)
                                         : " " + CellsNoun(m_meaning) + " of every row"));
        if (m_named && row.fields[0].text != m_names[i - 1])
            throw TessarinError(at(row.line) + "row " + std::to_string(i) + " is named " +
                                ShownText(row.fields[0].text) + ", but column " + std::to_string(i) +
                                " of the header is " + ShownText(m_names[i - 1]) +
                                ": the rows must name the items in the header's order");
        for (int j = 1; j <= m_n; ++j) {
            const std::string &text = row.fields[static_cast<std::size_t>(offset + j - 1)].text;
            const Cell cell = ReadCell(text, m_decimal);
            if (j == i) {
                const bool empty = cell.kind == CellKind::Missing && text.find_first_not_of(" \t") == std::string::npos;
                if (!empty && !(cell.kind == CellKind::Number && cell.value == 0.0f))
                    throw TessarinError(at(row.line) + "the diagonal cell of " + item(i) + " holds " +
                                        ShownText(text) + ", not 0");
                continue;
            }
            const std::string pairName = item(i) + " and " + item(j);
            if (cell.kind == CellKind::NotANumber || cell.kind == CellKind::TooLarge)
                throw TessarinError(at(row.line) + PairCellFault(cell, text, pairName, m_meaning));
            const bool missing = cell.kind == CellKind::Missing;
            if (j > i) {
                // A negative cell below the diagonal is the asymmetry's to report.
                if (!missing && cell.value < 0.0f)
                    throw TessarinError(at(row.line) + PairCellFault(cell, text, pairName, m_meaning));
                if (missing)
                    m_table.setMissing(i, j);
                else
                    m_table.setPair(i, j, cell.value);
            } else if (m_table.hasTable() && missing != m_table.isMissing(j, i)) {
                throw TessarinError(at(row.line) + "the matrix is not symmetric: row " + std::to_string(i) +
                                    ", column " + std::to_string(j) + " (" + pairName + ") holds " +
                                    ShownText(text) + ", but row " + std::to_string(j) + ", column " +
                                    std::to_string(i) + " holds " +
                                    (missing ? ShortestText(m_table.pair(j, i)) : std::string("a missing value")) +
                                    ": a missing " + CellNoun(m_meaning) + " is missing in both halves");
            } else if (m_table.hasTable() && !missing) {
                const float mirror = m_table.pair(j, i);
                const double a = cell.value, b = mirror;
                if (std::fabs(a - b) > 1e-6 * std::fmax(std::fabs(a), std::fabs(b)))
                    throw TessarinError(at(row.line) + "the matrix is not symmetric: row " + std::to_string(i) +
                                        ", column " + std::to_string(j) + " (" + pairName + ") holds " +
                                        ShownText(text) + ", but row " + std::to_string(j) + ", column " +
                                        std::to_string(i) + " holds " + ShortestText(mirror));
            }
        }
    }

    SequentialInput m_input;
    NamedTableBuilder m_table;
    char m_delimiter = '\0';
    char m_decimal = '.';
    Numbers m_numbers;
    CellMeaning m_meaning;
    bool m_headerOfNumbers = false;
    // A record read ahead of its turn.
    Record m_pending;
    bool m_hasPending = false;
    bool m_named = true;
    int m_n = 0;
    std::vector<std::string> m_names;
};

} // namespace

DistanceData ReadSquareMatrix(const std::string &fileName, CellMeaning meaning)
{
    SquareReader guess(fileName, SquareReader::Numbers::Guess, meaning);
    try {
        return guess.read();
    } catch (const TessarinError &) {
        // A header of numbers that does not read one way may read the other.
        if (!guess.headerOfNumbers())
            throw;
        try {
            return SquareReader(fileName, guess.numbersAsNames() ? SquareReader::Numbers::AsFirstRow
                                                                 : SquareReader::Numbers::AsNames,
                                meaning)
                .read();
        } catch (const TessarinError &) {
        }
        throw;
    }
}

DistanceData ReadSquareMatrix(const std::string &fileName)
{
    return ReadSquareMatrix(fileName, CellMeaning::Distance);
}

} // namespace tessarin
