#include "io/row_tokens.h"

#include "io/delimited_fields.h"

namespace tessarin {

bool SplitRow(std::string_view row, std::vector<RowToken> &tokens, bool tabsOnly)
{
    tokens.clear();
    if (tabsOnly || row.find('\t') != std::string_view::npos) {
        std::vector<DelimitedField> fields;
        if (SplitDelimited(row, '\t', fields) != FieldSplit::Complete)
            return false;
        while (!fields.empty() && !fields.back().quoted && fields.back().text.empty())
            fields.pop_back();
        for (DelimitedField &field : fields)
            tokens.push_back({std::move(field.text), field.quoted});
        return true;
    }
    std::size_t pos = 0;
    while (true) {
        while (pos < row.size() && row[pos] == ' ')
            ++pos;
        if (pos == row.size())
            return true;
        RowToken token;
        if (row[pos] == '"') {
            token.quoted = true;
            ++pos;
            while (true) {
                const std::size_t quote = row.find('"', pos);
                if (quote == std::string_view::npos)
                    return false;
                token.text.append(row.substr(pos, quote - pos));
                pos = quote + 1;
                if (pos < row.size() && row[pos] == '"') {
                    token.text += '"';
                    ++pos;
                    continue;
                }
                break;
            }
            // A closing quote ends the field even with no blank after it.
        } else {
            const std::size_t end = row.find(' ', pos);
            token.text = std::string(row.substr(pos, end == std::string_view::npos ? end : end - pos));
            pos = end == std::string_view::npos ? row.size() : end;
        }
        tokens.push_back(std::move(token));
    }
}

} // namespace tessarin
