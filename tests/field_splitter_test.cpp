#include "io/field_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessarin {
namespace {

// Fields as one text: quoted ones in <>, plain ones in [].
std::string shown(const std::vector<Field> &fields)
{
    std::string text;
    for (const Field &field : fields)
        text += (field.quoted ? "<" : "[") + field.text + (field.quoted ? ">" : "]");
    return text;
}

TEST(FieldSplitter, DelimitedRecords)
{
    struct Case {
        const char *record;
        char delimiter;
        FieldSplit split;
        const char *fields;
    } cases[] = {
        {"a,b", ',', FieldSplit::Complete, "[a][b]"},
        {"", ',', FieldSplit::Complete, "[]"},
        {" a , b ,", ',', FieldSplit::Complete, "[a][b][]"},
        {R"( "a,b" ,c)", ',', FieldSplit::Complete, "<a,b>[c]"},
        {R"("say ""hi""",x)", ',', FieldSplit::Complete, R"(<say "hi">[x])"},
        {R"("""")", ',', FieldSplit::Complete, R"(<">)"},
        {R"("open,rest)", ',', FieldSplit::QuoteOpen, "<open,rest>"},
        {R"(a,"b"c,d)", ',', FieldSplit::TextAfterQuote, "[a]<b>"},
        {"a\t\"b\tc\"\t", '\t', FieldSplit::Complete, "[a]<b\tc>[]"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.record);
        std::vector<Field> fields{{"left over", true}};
        EXPECT_EQ(SplitDelimited(c.record, c.delimiter, fields), c.split);
        EXPECT_EQ(shown(fields), c.fields);
    }
}

TEST(FieldSplitter, Rows)
{
    struct Case {
        const char *row;
        bool tabsOnly;
        bool complete;
        const char *fields;
    } cases[] = {
        {"  a   b c ", false, true, "[a][b][c]"},
        {"   ", false, true, ""},
        {R"("two words" 3)", false, true, "<two words>[3]"},
        // Between blanks a closing quote ends the field; in the delimited
        // grammar text after it is refused.
        {R"("a"b)", false, true, "<a>[b]"},
        {R"("a ""b""" c)", false, true, R"(<a "b">[c])"},
        // Refused; the fields before the open quote stay.
        {R"(a "open)", false, false, "[a]"},
        // A tab anywhere: split at single tabs, empty fields at the end dropped.
        {"a b\t\tc\t\t", false, true, "[a b][][c]"},
        {"a\t\"\"\t", false, true, "[a]<>"},
        {"a\t\"b\"c", false, false, ""},
        // Tabs only: a row without a tab is one field.
        {"a b", true, true, "[a b]"},
        {"", true, true, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        std::vector<Field> fields{{"left over", true}};
        EXPECT_EQ(SplitRow(c.row, fields, c.tabsOnly), c.complete);
        EXPECT_EQ(shown(fields), c.fields);
    }
}

TEST(FieldSplitter, DelimiterAndQuotedField)
{
    EXPECT_EQ(FindDelimiter("a b\tc,d"), '\t');
    EXPECT_EQ(FindDelimiter(R"("a,b";c,d)"), ',');
    EXPECT_EQ(FindDelimiter(R"("a,b	c")"), '\0');
    struct Case {
        const char *name;
        const char *written;
    } cases[] = {
        {"plain", "plain"},
        {"a,b", R"("a,b")"},
        {R"(say "hi")", R"("say ""hi""")"},
        {" padded", R"(" padded")"},
        {"two words", "two words"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string written = QuotedField(c.name);
        EXPECT_EQ(written, c.written);
        // What is written reads back as the name.
        std::vector<Field> fields;
        ASSERT_EQ(SplitDelimited(written + ",x", ',', fields), FieldSplit::Complete);
        ASSERT_EQ(fields.size(), 2u);
        EXPECT_EQ(fields[0].text, c.name);
    }
}

} // namespace
} // namespace tessarin
