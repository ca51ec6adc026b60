#include "base/tessarin_error.h"
#include "io/layout_csv.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tessarin {
namespace {

using testing::TempFile;

TEST(LayoutCsv, ReadsBackBitForBit)
{
    std::mt19937 engine(9);
    std::uniform_real_distribution<float> coordinate(0.0f, 1000.0f);
    Layout layout(2 * 50 + 1, 0.0f);
    for (int s = 1; s <= 100; ++s)
        layout[s] = coordinate(engine);
    layout[1] = 5.0f;
    layout[2] = 0.1f;
    layout[3] = 1e-30f;
    TempFile file(LayoutCsvText(layout, 50), "map.csv");
    const Layout back = ReadLayoutCsv(file.path());
    ASSERT_EQ(back.size(), layout.size());
    EXPECT_EQ(std::memcmp(back.data() + 1, layout.data() + 1, 100 * sizeof(float)), 0);
    EXPECT_EQ(LayoutCsvText(Layout{0, 5, 0.5f, 995, 12.25f}, 2), "item,x,y\n1,5,995\n2,0.5,12.25\n");
}

TEST(LayoutCsv, RefusesMalformedMaps)
{
    struct Case {
        std::string text, message;
    } cases[] = {
        {"", "holds no items"},
        {"item,x,y\n", "holds no items"},
        {"item,x,y\n1,2\n", "line 2: expected three fields"},
        {"item,x,y\n2,1,1\n", "line 2: expected item 1"},
        {"item,x,y\n1,1,1\n1,2,2\n", "line 3: expected item 2"},
        {"item,x,y\n1,abc,1\n", "line 2: the coordinates of item 1 are not numbers"},
        {"item,x,y\n1,nan,1\n", "are not numbers"},
        {"item,x,y\n1,1,1,1\n", "expected three fields"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        TempFile file(c.text, "map.csv");
        try {
            ReadLayoutCsv(file.path());
            ADD_FAILURE() << "no error";
        } catch (const TessarinError &error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    // Windows line ends and blanks around fields are accepted.
    TempFile crlf("item,x,y\r\n1, 2 ,3\r\n", "map.csv");
    EXPECT_EQ(ReadLayoutCsv(crlf.path()), (Layout{0, 2, 3}));
}

} // namespace
} // namespace tessarin

namespace tessarin {
namespace {

TEST(LayoutCsv, WritesAndReadsNamesQuotedAsRfc4180Says)
{
    const std::vector<std::string> names = {"Paris", "Buenos Aires, AR", "The \"Big\" Apple", "two\nlines", " pad "};
    Layout layout(2 * 5 + 1, 0.0f);
    for (int s = 1; s <= 10; ++s)
        layout[s] = 0.1f * static_cast<float>(s);
    const std::string text = LayoutCsvText(layout, 5, names);
    EXPECT_EQ(text.substr(0, text.find('\n', 30) + 1),
              "item,name,x,y\n1,Paris,0.1,0.6\n2,\"Buenos Aires, AR\",0.2,0.7\n");
    EXPECT_NE(text.find("3,\"The \"\"Big\"\" Apple\",0.3,0.8\n4,\"two\nlines\",0.4,0.90000004\n5,\" pad \",0.5,1\n"),
              std::string::npos)
        << text;
    TempFile file(text, "map.csv");
    std::vector<std::string> back;
    EXPECT_EQ(ReadLayoutCsv(file.path(), &back), layout);
    EXPECT_EQ(back, names);

    // A map without names reads with none.
    TempFile plain(LayoutCsvText(layout, 5), "map.csv");
    EXPECT_EQ(ReadLayoutCsv(plain.path(), &back), layout);
    EXPECT_TRUE(back.empty());
}

TEST(LayoutCsv, ChecksAMapFitsTheTable)
{
    const Layout two = {0, 1, 2, 3, 4};
    const std::vector<std::string> ab = {"A", "B"};
    struct Case {
        const char *name;
        Layout layout;
        std::vector<std::string> mapNames, tableNames;
        std::string message; // empty: fits
    } cases[] = {
        {"same names", two, ab, ab, ""},
        {"a map without names fits any table", two, {}, ab, ""},
        {"neither has names", two, {}, {}, ""},
        {"another count", {0, 1, 2}, {"A"}, ab, "map.csv holds a map of 1 items, but t.csv has 2"},
        {"names in another order", two, {"B", "A"}, ab, "map.csv: item 1 is named \"B\" in the map, but \"A\" in t.csv"},
        {"names for an unnamed table", two, ab, {}, "map.csv names its items, but t.csv does not"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            CheckLayoutFits(c.layout, c.mapNames, "map.csv", 2, c.tableNames, "t.csv");
            EXPECT_EQ(c.message, "");
        } catch (const TessarinError &error) {
            EXPECT_NE(c.message, "");
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
    // A named map with a wrong field count says which form it expected.
    TempFile bad("item,name,x,y\n1,A,1\n", "map.csv");
    EXPECT_THROW(
        {
            try {
                ReadLayoutCsv(bad.path());
            } catch (const TessarinError &error) {
                EXPECT_NE(std::string(error.what()).find("line 2: expected four fields: item,name,x,y"),
                          std::string::npos);
                throw;
            }
        },
        TessarinError);
}

} // namespace
} // namespace tessarin
