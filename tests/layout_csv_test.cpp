#include "data/tessarin_error.h"
#include "search/layout_csv.h"
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
