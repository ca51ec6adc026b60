#include "io/data_table_reader.h"

#include "io/field_splitter.h"
#include "io/distance_cell.h"
#include "io/distance_reader.h"
#include "base/lenient_number.h"
#include "io/sequential_input.h"
#include "base/shown_text.h"
#include "base/tessarin_error.h"

#include <unordered_map>

namespace tessarin {

namespace {

struct Record {
    long line = 0;
    std::vector<Field> fields;
};

class DataTableReader {
public:
    DataTableReader(const std::string &fileName, const DataTableOptions &options)
        : m_input(fileName), m_options(options)
    {
        m_table.fileName = fileName;
    }

    DataTable read()
    {
        Record header;
        if (!next(header))
            throw TessarinError(fileName() + ": the file holds no table");
        bool hasHeader = false;
        for (const Field &field : header.fields)
            hasHeader = hasHeader || field.quoted || ReadCell(field.text, m_table.decimal).kind == CellKind::NotANumber;

        std::vector<Record> rows;
        if (!hasHeader)
            rows.push_back(header);
        Record row;
        while (next(row)) {
            if (rows.size() >= static_cast<std::size_t>(MaxItemCount))
                throw TessarinError(at(row.line) + "more than the " + std::to_string(MaxItemCount) +
                                    " items a map can hold");
            rows.push_back(std::move(row));
        }
        if (rows.size() < 2)
            throw TessarinError(fileName() + ": " + std::to_string(rows.size()) +
                                (rows.size() == 1 ? " row" : " rows") + " of items: a map needs at least two items");

        const std::size_t width = rows[0].fields.size();
        std::vector<std::string> headings;
        bool namesOutsideHeader = false;
        if (!hasHeader) {
            for (std::size_t k = 0; k < width; ++k)
                headings.push_back("V" + std::to_string(k + 1));
        } else {
            for (const Field &field : header.fields)
                headings.push_back(field.text);
            if (width == headings.size() + 1) {
                // R's write.table: the row names have no header of their own.
                headings.insert(headings.begin(), std::string());
                namesOutsideHeader = true;
            } else if (width != headings.size()) {
                throw TessarinError(at(rows[0].line) + "the first row holds " + std::to_string(width) +
                                    " fields, but the header on line " + std::to_string(header.line) + " holds " +
                                    std::to_string(headings.size()));
            }
        }
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (rows[r].fields.size() != width)
                throw TessarinError(at(rows[r].line) + "the row of item " + std::to_string(r + 1) + " holds " +
                                    std::to_string(rows[r].fields.size()) + " fields, not the " +
                                    std::to_string(width) + " of the first row");

        std::vector<DataColumn> columns(width);
        for (std::size_t k = 0; k < width; ++k)
            fillColumn(columns[k], headings[k], rows, k);
        for (const Record &r : rows)
            m_table.lines.push_back(r.line);

        const long nameIndex = nameColumnIndex(columns, namesOutsideHeader, hasHeader);
        for (std::size_t k = 0; k < width; ++k) {
            if (static_cast<long>(k) == nameIndex) {
                m_table.nameColumn = columns[k].name;
                m_table.names = columns[k].texts;
                checkNames(columns[k]);
            } else {
                m_table.columns.push_back(std::move(columns[k]));
            }
        }
        m_input.close();
        return std::move(m_table);
    }

private:
    const std::string &fileName() const { return m_input.fileName(); }
    std::string at(long line) const { return fileName() + ", line " + std::to_string(line) + ": "; }

    /// The next record that is not blank; false at the end of the file.
    bool next(Record &record)
    {
        while (!m_input.atEnd()) {
            record.line = m_input.lineNumber();
            std::string text = m_input.readLine();
            if (text.find_first_not_of(" \t") == std::string::npos)
                continue;
            if (!m_delimiterKnown) {
                m_delimiterKnown = true;
                m_delimiter = FindTableDelimiter(text);
                if (m_delimiter == ';')
                    m_table.decimal = ',';
            }
            if (m_delimiter == '\0') {
                std::vector<Field> tokens;
                if (!SplitRow(text, tokens))
                    throw TessarinError(at(record.line) + "a double quote is never closed");
                record.fields.clear();
                for (Field &token : tokens)
                    record.fields.push_back({std::move(token.text), token.quoted});
                return true;
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

    void fillColumn(DataColumn &column, const std::string &heading, const std::vector<Record> &rows, std::size_t k)
    {
        column.name = heading;
        column.texts.reserve(rows.size());
        column.numbers.assign(rows.size(), 0.0);
        column.missing.assign(rows.size(), false);
        bool anyNumber = false;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Field &field = rows[r].fields[k];
            column.texts.push_back(field.text);
            const Cell cell = ReadCell(field.text, m_table.decimal);
            if (cell.kind == CellKind::Missing && !(field.quoted && !field.text.empty())) {
                column.missing[r] = true;
            } else if (cell.kind == CellKind::NotANumber || cell.kind == CellKind::Missing) {
                column.numeric = false;
            } else {
                anyNumber = true;
                std::string digits = field.text;
                if (m_table.decimal == ',')
                    for (char &c : digits)
                        c = c == ',' ? '.' : c;
                try {
                    column.numbers[r] = LenientNumber(digits);
                } catch (const TessarinError &) {
                    throw TessarinError(at(rows[r].line) + "the value " + ShownText(field.text) + " in column " +
                                        ShownText(heading) + " is beyond the double-precision range");
                }
            }
        }
        column.numeric = column.numeric && anyNumber;
        if (!column.numeric)
            column.numbers.assign(rows.size(), 0.0);
    }

    long nameColumnIndex(const std::vector<DataColumn> &columns, bool namesOutsideHeader, bool hasHeader) const
    {
        using Names = DataTableOptions::Names;
        if (m_options.names == Names::Column) {
            for (std::size_t k = 0; k < columns.size(); ++k)
                if (columns[k].name == m_options.nameColumn)
                    return static_cast<long>(k);
            throw TessarinError(fileName() + ": no column is headed " + ShownText(m_options.nameColumn) +
                                " to name the items");
        }
        if (namesOutsideHeader)
            return 0;
        if (m_options.names == Names::None)
            return -1;
        if (hasHeader && columns[0].name.empty())
            return 0;
        const DataColumn &first = columns[0];
        if (first.numeric)
            return -1;
        std::unordered_map<std::string, std::size_t> seen;
        for (std::size_t r = 0; r < first.texts.size(); ++r)
            if (first.missing[r] || !seen.emplace(first.texts[r], r).second)
                return -1;
        return 0;
    }

    void checkNames(const DataColumn &column) const
    {
        std::unordered_map<std::string, std::size_t> seen;
        for (std::size_t r = 0; r < column.texts.size(); ++r) {
            const long line = m_table.lines[r];
            if (column.texts[r].empty())
                throw TessarinError(at(line) + "item " + std::to_string(r + 1) + " has no name");
            auto [it, added] = seen.emplace(column.texts[r], r);
            if (!added)
                throw TessarinError(at(line) + "items " + std::to_string(it->second + 1) + " and " +
                                    std::to_string(r + 1) + " are both named " + ShownText(column.texts[r]) +
                                    "; each item needs a name of its own");
        }
    }

    SequentialInput m_input;
    DataTableOptions m_options;
    DataTable m_table;
    bool m_delimiterKnown = false;
    char m_delimiter = '\0';
};

} // namespace

DataTable ReadDataTable(const std::string &fileName, const DataTableOptions &options)
{
    return DataTableReader(fileName, options).read();
}

} // namespace tessarin
