#include "io/field_splitter.h"

namespace tessarin {

namespace {

std::string_view withoutBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Reads the quoted part of a field whose opening quote stands before `at`
// onto `text`, doubled quotes made single. Returns the position after the
// closing quote, or npos when there is none (the rest is then on `text`).
std::size_t readQuoted(std::string_view record, std::size_t at, std::string &text)
{
    while (true) {
        const std::size_t quote = record.find('"', at);
        if (quote == std::string_view::npos) {
            text.append(record.substr(at));
            return std::string_view::npos;
        }
        text.append(record.substr(at, quote - at));
        if (quote + 1 < record.size() && record[quote + 1] == '"') {
            text += '"';
            at = quote + 2;
            continue;
        }
        return quote + 1;
    }
}

} // namespace

FieldSplit SplitDelimited(std::string_view record, char delimiter, std::vector<Field> &fields)
{
    fields.clear();
    std::size_t pos = 0;
    while (true) {
        Field field;
        std::size_t start = pos;
        while (start < record.size() && record[start] == ' ')
            ++start;
        if (start < record.size() && record[start] == '"') {
            field.quoted = true;
            const std::size_t at = readQuoted(record, start + 1, field.text);
            if (at == std::string_view::npos) {
                fields.push_back(std::move(field));
                return FieldSplit::QuoteOpen;
            }
            std::size_t end = record.find(delimiter, at);
            std::string_view rest = record.substr(at, end == std::string_view::npos ? end : end - at);
            fields.push_back(std::move(field));
            if (!withoutBlanks(rest).empty())
                return FieldSplit::TextAfterQuote;
            if (end == std::string_view::npos)
                return FieldSplit::Complete;
            pos = end + 1;
            continue;
        }
        std::size_t end = record.find(delimiter, pos);
        field.text = std::string(withoutBlanks(record.substr(pos, end == std::string_view::npos ? end : end - pos)));
        fields.push_back(std::move(field));
        if (end == std::string_view::npos)
            return FieldSplit::Complete;
        pos = end + 1;
    }
}

bool SplitRow(std::string_view row, std::vector<Field> &tokens, bool tabsOnly)
{
    tokens.clear();
    if (tabsOnly || row.find('\t') != std::string_view::npos) {
        std::vector<Field> fields;
        if (SplitDelimited(row, '\t', fields) != FieldSplit::Complete)
            return false;
        while (!fields.empty() && !fields.back().quoted && fields.back().text.empty())
            fields.pop_back();
        tokens = std::move(fields);
        return true;
    }
    std::size_t pos = 0;
    while (true) {
        while (pos < row.size() && row[pos] == ' ')
            ++pos;
        if (pos == row.size())
            return true;
        Field token;
        if (row[pos] == '"') {
            token.quoted = true;
            pos = readQuoted(row, pos + 1, token.text);
            if (pos == std::string_view::npos)
                return false;
            // A closing quote ends the field even with no blank after it.
        } else {
            const std::size_t end = row.find(' ', pos);
            token.text = std::string(row.substr(pos, end == std::string_view::npos ? end : end - pos));
            pos = end == std::string_view::npos ? row.size() : end;
        }
        tokens.push_back(std::move(token));
    }
}

char FindDelimiter(std::string_view record)
{
    bool quoted = false;
    for (char c : record) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ',' || c == '\t'))
            return c;
    }
    return '\0';
}

std::string QuotedField(const std::string &text)
{
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace tessarin
