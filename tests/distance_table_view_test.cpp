#include "data/tessarin_error.h"
#include "display/distance_table_view.h"
#include "distance_fixture.h"
#include "recording_surface.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RecordingSurface;

DistanceData itemsOf(int n)
{
    std::vector<float> upper(static_cast<std::size_t>(n * (n - 1) / 2), 1.0f);
    return MakeDistances(n, upper);
}

TEST(DistanceTableView, ChoosesTheFontFromThePictureSizePerItem)
{
    struct Case {
        int n;
        std::string size;
        std::vector<std::string> font;
    } cases[] = {
        {10, "5000", {"font Times New Roman", "size 9"}},
        {16, "5000", {"font Times New Roman", "size 5"}},
        {17, "5000", {"font Small Fonts", "size 3", "size 5"}},
        {10, "3000", {"font Small Fonts", "size 5"}}, // q = 300 exactly
        {10, "abc", {"font Small Fonts", "size 5"}},
        {4, "abc", {"font Small Fonts", "size 13"}},
        {100, "50000", {"font Times New Roman", "size 0"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " items, size " + c.size);
        RecordingSurface box;
        DistanceMatrix(box, itemsOf(c.n), c.size);
        std::vector<std::string> font = box.only("font");
        for (const auto &s : box.only("size"))
            font.push_back(s);
        EXPECT_EQ(font, c.font);
    }
}

TEST(DistanceTableView, DrawsHeaderRowNumbersDiagonalAndCells)
{
    const DistanceData data = MakeDistances(3, {1.5f, 1234.0f, -150.0f});
    RecordingSurface box;
    DistanceMatrix(box, data, "5000");
    const std::vector<std::string> expected = {
        "scale 0 0 4 4", "back 11", "fore 0", "clear", "font Times New Roman", "size 30",
        "print 1 0 [ 1 ]", "print 2 0 [ 2 ]", "print 3 0 [ 3 ]", "print 3 0 [] end",
        "print 0 1 [ 1 ]", "print 1 1 [ - ]", "print 2 1 [1.5]", "print 3 1 [ Big ]", "print 3 1 [] end",
        "print 0 2 [ 2 ]", "print 1 2 [1.5]", "print 2 2 [ - ]", "print 3 2 [Small]", "print 3 2 [] end",
        "print 0 3 [ 3 ]", "print 1 3 [ Big ]", "print 2 3 [Small]", "print 3 3 [ - ]", "print 3 3 [] end",
    };
    EXPECT_EQ(box.calls, expected);
}

TEST(DistanceTableView, OneItemAndNoTable)
{
    RecordingSurface one;
    DistanceMatrix(one, MakeDistances(1, {}), "5000");
    EXPECT_EQ(one.only("print"),
              (std::vector<std::string>{"print 1 0 [ 1 ]", "print 1 0 [] end", "print 0 1 [ 1 ]",
                                        "print 1 1 [ - ]", "print 1 1 [] end"}));

    // No table: the box is scaled, light cyan and cleared, then the error comes.
    RecordingSurface none;
    EXPECT_THROW(DistanceMatrix(none, DistanceData{}, "5000"), TessarinError);
    EXPECT_EQ(none.calls, (std::vector<std::string>{"scale 0 0 1 1", "back 11", "fore 0", "clear"}));
}

} // namespace
} // namespace tessarin
