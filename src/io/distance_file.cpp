#include "io/distance_file.h"

#include "io/field_splitter.h"
#include "io/distance_cell.h"
#include "io/distance_reader.h"
#include "io/lower_triangle_reader.h"
#include "io/phylip_reader.h"
#include "io/printed_dist_reader.h"
#include "io/sequential_input.h"
#include "io/square_matrix_reader.h"
#include "base/tessarin_error.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace tessarin {

namespace {

/// The first lines of a file: enough to tell the formats apart without
/// reading a large file whole.
std::vector<std::string> firstLines(const std::string &fileName)
{
    {
        // Opened the way the readers open it, for the same messages when it
        // is missing, a folder or unreadable.
        SequentialInput probe(fileName);
    }
    // Read in small pieces until three lines have ended (six characters
    // for CR LF ends), at most 1 MiB.
    constexpr std::size_t limit = 1 << 20;
    constexpr std::size_t piece = 1 << 14;
    std::string bytes;
    std::FILE *file = std::fopen(fileName.c_str(), "rb");
    if (!file)
        throw TessarinError(fileName + ": the file cannot be opened");
    std::size_t lineEnds = 0;
    while (bytes.size() < limit && lineEnds < 7) {
        const std::size_t old = bytes.size();
        bytes.resize(old + piece);
        bytes.resize(old + std::fread(bytes.data() + old, 1, piece, file));
        if (bytes.size() == old)
            break;
        lineEnds += static_cast<std::size_t>(std::count_if(bytes.begin() + static_cast<std::ptrdiff_t>(old),
                                                           bytes.end(), [](char c) { return c == '\n' || c == '\r'; }));
    }
    std::fclose(file);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size() && lines.size() < 3) {
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        lines.push_back(bytes.substr(pos, end == std::string::npos ? end : end - pos));
        if (end == std::string::npos)
            break;
        pos = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool isName(const Field &token)
{
    if (token.text.empty())
        return token.quoted;
    for (char c : token.text)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return false;
    return token.quoted || !LooksLikeCell(token.text);
}

bool allNames(const std::vector<Field> &tokens)
{
    return std::all_of(tokens.begin(), tokens.end(), isName);
}

/// How many cells follow a name on the line, or -1 when the line is not a
/// name followed by cells.
long valuesAfterName(const std::string *line, bool tabsOnly = false)
{
    std::vector<Field> tokens;
    if (!line || !SplitRow(*line, tokens, tabsOnly) || tokens.empty() || !isName(tokens[0]))
        return -1;
    for (std::size_t k = 1; k < tokens.size(); ++k)
        if (tokens[k].quoted || !LooksLikeCell(tokens[k].text))
            return -1;
    return static_cast<long>(tokens.size() - 1);
}

/// The first field of line 1 as the distance file's count is read: blanks
/// skipped, up to a blank or a comma.
std::string countField(const std::string &line)
{
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    const std::size_t end = line.find_first_of(" ,", start);
    return line.substr(start, end == std::string::npos ? end : end - start);
}

bool beginsWithNumber(const std::string &field)
{
    std::size_t pos = field.find_first_not_of(" \t");
    if (pos != std::string::npos && (field[pos] == '+' || field[pos] == '-'))
        pos = field.find_first_not_of(" \t", pos + 1);
    if (pos == std::string::npos)
        return false;
    if (field[pos] >= '0' && field[pos] <= '9')
        return true;
    const std::size_t digit = field.find_first_not_of(" \t", pos + 1);
    return field[pos] == '.' && digit != std::string::npos && field[digit] >= '0' && field[digit] <= '9';
}

/// PHYLIP's first row: a name and the cells after it, the name its first
/// field or its first 10 characters; how many cells, or -1.
long phylipValues(const std::string *line)
{
    const long relaxed = valuesAfterName(line);
    if (relaxed >= 0 || !line || line->size() <= 10 || line->find_first_not_of(" \t") >= 10)
        return relaxed;
    std::vector<Field> tokens;
    if (!SplitRow(line->substr(10), tokens))
        return -1;
    for (const Field &token : tokens)
        if (token.quoted || !LooksLikeCell(token.text))
            return -1;
    return static_cast<long>(tokens.size());
}

bool isWhole(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool hasPhylipExtension(const std::string &fileName)
{
    std::string lower = fileName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    for (const char *ending : {".phy", ".dist", ".phylip"}) {
        const std::string e = ending;
        if (lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0)
            return true;
    }
    return false;
}

/// Line 1 is a row of numbers, comma- or tab-separated, starting with the
/// diagonal 0 (or an empty diagonal): an unnamed square matrix.
bool isNumericSquareStart(const std::string &line, char delimiter)
{
    std::vector<Field> fields;
    if (delimiter == '\0' || SplitDelimited(line, delimiter, fields) != FieldSplit::Complete || fields.size() < 2)
        return false;
    const char decimal = delimiter == ';' ? ',' : '.';
    for (const Field &field : fields)
        if (field.quoted || ReadCell(field.text, decimal).kind == CellKind::NotANumber)
            return false;
    const Cell first = ReadCell(fields[0].text, decimal);
    return fields[0].text.empty() || (first.kind == CellKind::Number && first.value == 0.0f);
}

/// Line 1 is a header of names, comma- or tab-separated, perhaps after an
/// empty corner cell. A quote it leaves open or a stray text after one is
/// the reader's to report.
bool isNamedSquareStart(const std::string &line, char delimiter)
{
    std::vector<Field> fields;
    if (delimiter == '\0')
        return false;
    const FieldSplit split = SplitDelimited(line, delimiter, fields);
    if (split != FieldSplit::Complete)
        return true;
    if (fields.size() < 2)
        return false;
    const std::size_t first = fields[0].text.empty() ? 1 : 0;
    for (std::size_t k = first; k < fields.size(); ++k)
        if (!isName(fields[k]))
            return false;
    return true;
}

std::string withoutFileName(const std::string &message, const std::string &fileName)
{
    for (const std::string &prefix : {fileName + ", ", fileName + ": "})
        if (message.rfind(prefix, 0) == 0)
            return message.substr(prefix.size());
    return message;
}

DistanceData readAs(DistanceFormat format, const std::string &fileName, CellMeaning meaning)
{
    switch (format) {
    case DistanceFormat::SquareMatrix:
        return ReadSquareMatrix(fileName, meaning);
    case DistanceFormat::LowerTriangle:
        return ReadLowerTriangle(fileName, meaning);
    case DistanceFormat::Phylip:
        return ReadPhylip(fileName, meaning);
    case DistanceFormat::PrintedDist:
        return ReadPrintedDist(fileName, meaning);
    case DistanceFormat::DistanceFile:
        break;
    }
    return ReadDistances(fileName);
}

} // namespace

const char *DistanceFormatName(DistanceFormat format)
{
    switch (format) {
    case DistanceFormat::DistanceFile:
        return "distance file";
    case DistanceFormat::SquareMatrix:
        return "square matrix";
    case DistanceFormat::LowerTriangle:
        return "lower triangle";
    case DistanceFormat::Phylip:
        return "PHYLIP file";
    case DistanceFormat::PrintedDist:
        return "printed dist";
    }
    return "distance file";
}

DistanceFormat ChooseDistanceFormat(const std::string &fileName)
{
    const std::vector<std::string> lines = firstLines(fileName);
    if (lines.empty())
        return DistanceFormat::DistanceFile;
    const std::string &line1 = lines[0];
    const std::string *line2 = lines.size() > 1 ? &lines[1] : nullptr;
    const std::string *line3 = lines.size() > 2 ? &lines[2] : nullptr;
    const char delimiter = FindDelimiter(line1);

    if (isNumericSquareStart(line1, delimiter))
        return DistanceFormat::SquareMatrix;

    const std::string field = countField(line1);
    if (beginsWithNumber(field)) {
        // The count as a PHYLIP or .dst file writes it, ended by a tab too.
        const std::size_t start = line1.find(field);
        const std::string count = field.substr(0, field.find('\t'));
        const std::string rest = line1.substr(start + count.size());
        const bool bare = rest.find_first_not_of(" \t") == std::string::npos;
        if (bare) {
            // Our file's title on line 2 or PHYLIP's first row.
            const long values = phylipValues(line2);
            if (!isWhole(count) || values < 0)
                return DistanceFormat::DistanceFile;
            if (count.size() <= 5 && values == std::stol(count))
                return DistanceFormat::Phylip;
            std::vector<Field> third;
            if (line3 && SplitRow(*line3, third) && !third.empty() && isName(third[0]))
                return DistanceFormat::Phylip;
            return hasPhylipExtension(fileName) ? DistanceFormat::Phylip : DistanceFormat::DistanceFile;
        }
        // A count and a title: our file has numbers on line 2, the .dst
        // lower triangle (tab-separated) a name. A quoted title may go on over line 2.
        const std::size_t title = rest.find_first_not_of(" ,");
        const bool openQuote = title != std::string::npos && rest[title] == '"' &&
                               rest.find('"', title + 1) == std::string::npos;
        // Only a tab after the count makes it .dst: a blank-separated file
        // with letters on line 2 stays ours, read as it always was.
        const bool tabs = line1.find('\t') != std::string::npos;
        if (tabs && isWhole(count) && !openQuote && line2 && !beginsWithNumber(countField(*line2)) &&
            valuesAfterName(line2, tabs) >= 0)
            return DistanceFormat::LowerTriangle;
        return DistanceFormat::DistanceFile;
    }

    if (isNamedSquareStart(line1, delimiter))
        return DistanceFormat::SquareMatrix;

    std::vector<Field> first;
    const bool split = SplitRow(line1, first) && !first.empty();
    const long second = valuesAfterName(line2);
    std::string lowerReason;
    if (split && allNames(first)) {
        // One name (the first row) or a header of names: the next row holds
        // one distance (and perhaps its diagonal).
        if (second == 1 || (first.size() == 1 && second == 2))
            return DistanceFormat::LowerTriangle;
        lowerReason = "line 2 is not the row of a name and its distances to the items before it";
    } else if (split && first.size() == 2 && isName(first[0]) && ReadCell(first[1].text).kind == CellKind::Number &&
               ReadCell(first[1].text).value == 0.0f) {
        if (second == 2)
            return DistanceFormat::LowerTriangle;
        lowerReason = "line 2 is not the row of a name, its distance to item 1 and its diagonal 0";
    } else {
        lowerReason = "line 1 is neither a header of names nor a first row of one name (and its 0)";
    }

    // R's write.csv2 and spreadsheets in many locales: semicolons between
    // the fields. Only a file that fits nothing else is taken for one.
    if (FindTableDelimiter(line1) == ';' && (isNamedSquareStart(line1, ';') || isNumericSquareStart(line1, ';')))
        return DistanceFormat::SquareMatrix;

    std::string ours;
    try {
        ReadDistances(fileName);
        ours = "it reads, but line 1 does not begin with an item count";
    } catch (const TessarinError &error) {
        ours = withoutFileName(error.what(), fileName);
    }
    const std::string square =
        delimiter == '\0' ? "line 1 holds no comma or tab"
                          : "line 1 is neither a header of names nor a row of numbers starting with the diagonal 0";
    throw TessarinError(fileName + ": not a distance table in any format Tessarin reads. As a distance file: " +
                        ours + ". As a square matrix: " + square + ". As a lower triangle: " + lowerReason +
                        ". As a PHYLIP file: line 1 is not an item count alone.");
}

DistanceData ReadDistanceFile(const std::string &fileName, CellMeaning meaning)
{
    std::optional<DistanceFormat> chosen;
    try {
        chosen = ChooseDistanceFormat(fileName);
        return readAs(*chosen, fileName, meaning);
    } catch (const TessarinError &) {
        // A file that no reading takes keeps the first choice's message.
        for (DistanceFormat other : {DistanceFormat::SquareMatrix, DistanceFormat::LowerTriangle,
                                     DistanceFormat::PrintedDist, DistanceFormat::Phylip}) {
            if (chosen == other)
                continue;
            try {
                return readAs(other, fileName, meaning);
            } catch (const TessarinError &) {
            }
        }
        throw;
    }
}

DistanceData ReadDistanceFile(const std::string &fileName)
{
    return ReadDistanceFile(fileName, CellMeaning::Distance);
}

} // namespace tessarin
