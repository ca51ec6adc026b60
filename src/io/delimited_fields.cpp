#include "io/delimited_fields.h"

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

} // namespace

FieldSplit SplitDelimited(std::string_view record, char delimiter, std::vector<DelimitedField> &fields)
{
    fields.clear();
    std::size_t pos = 0;
    while (true) {
        DelimitedField field;
        std::size_t start = pos;
        while (start < record.size() && record[start] == ' ')
            ++start;
        if (start < record.size() && record[start] == '"') {
            field.quoted = true;
            std::size_t at = start + 1;
            while (true) {
                std::size_t quote = record.find('"', at);
                if (quote == std::string_view::npos) {
                    field.text.append(record.substr(at));
                    fields.push_back(std::move(field));
                    return FieldSplit::QuoteOpen;
                }
                field.text.append(record.substr(at, quote - at));
                if (quote + 1 < record.size() && record[quote + 1] == '"') {
                    field.text += '"';
                    at = quote + 2;
                    continue;
                }
                at = quote + 1;
                break;
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
