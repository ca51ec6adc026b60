#include "base/tessarin_error.h"
#include "data/pair_weights.h"
#include "display/distance_table_view.h"
#include "distance_fixture.h"
#include "recording_surface.h"
#include "reference_table_view.h"

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

TEST(DistanceTableView, DrawsWhatTheCellByCellDrawingDraws)
{
    // Every call, every text and every position, for tables of both fonts,
    // with markers and repeated values among the cells.
    struct Case {
        const char *name;
        int n;
        const char *size;
    };
    for (const Case &c : {Case{"Times New Roman", 8, "5000"}, Case{"Small Fonts", 60, "5000"},
                          Case{"Small Fonts, large", 150, "200"}}) {
        SCOPED_TRACE(c.name);
        DistanceData data = testing::RandomDistances(c.n, 99);
        data.Distances[1 * (c.n + 1) + 2] = 1e6f;   // " Big "
        data.Distances[2 * (c.n + 1) + 1] = -500.0f; // "Small"
        data.Distances[3 * (c.n + 1) + 4] = 0.5f;
        RecordingSurface fast, reference;
        DistanceMatrix(fast, data, c.size);
        testing::ReferenceDistanceMatrix(reference, data, c.size);
        ASSERT_EQ(fast.calls.size(), reference.calls.size());
        for (std::size_t k = 0; k < fast.calls.size(); ++k)
            ASSERT_EQ(fast.calls[k], reference.calls[k]) << "call " << k;
        EXPECT_EQ(fast.currentX(), reference.currentX());
        EXPECT_EQ(fast.currentY(), reference.currentY());
    }
}

TEST(DistanceTableView, MissingCellsAreBlankInBothHalvesAndTheOthersUnchanged)
{
    // Pair 1-3 missing; pair 2-3 weighs 0 though the table holds 7 for it.
    const DistanceData plain = MakeDistances(4, {1.5f, 0.0f, 2.0f, 7.0f, 3.0f, 4.0f});
    DistanceData data = plain;
    SetPairWeights(data, {1, 0, 1, 0, 1, 1}, "w");
    RecordingSurface weighted, reference;
    DistanceMatrix(weighted, data, "5000");
    DistanceMatrix(reference, plain, "5000");
    ASSERT_EQ(weighted.calls.size(), reference.calls.size());
    std::vector<std::string> changed;
    for (std::size_t k = 0; k < weighted.calls.size(); ++k)
        if (weighted.calls[k] != reference.calls[k])
            changed.push_back(reference.calls[k] + " -> " + weighted.calls[k]);
    EXPECT_EQ(changed, (std::vector<std::string>{"print 3 1 [  0] -> print 3 1 [   ]", "print 3 2 [  7] -> print 3 2 [   ]",
                                                 "print 1 3 [  0] -> print 1 3 [   ]", "print 2 3 [  7] -> print 2 3 [   ]"}));
}

TEST(DistanceTableView, EndsAfterTheNumberOrCellOnceTheSurfaceHasStopped)
{
    // Prints of the 3-item table: 1-3 the column numbers, 4 the header's line
    // end, then per row its number, three cells and the line end.
    const DistanceData data = MakeDistances(3, {1.5f, 1234.0f, -150.0f});
    struct Case {
        std::size_t stopAfter;
        std::size_t calls; // the 6 set-up calls and the prints
        std::string last;
    } cases[] = {
        {1, 7, "print 1 0 [ 1 ]"},
        {3, 9, "print 3 0 [ 3 ]"},
        // A line end or a row number is not an item: the next cell is.
        {4, 12, "print 1 1 [ - ]"},
        {5, 12, "print 1 1 [ - ]"},
        {8, 14, "print 3 1 [ Big ]"},
        {9, 17, "print 1 2 [1.5]"},
        {18, 24, "print 3 3 [ - ]"},
        {19, 25, "print 3 3 [] end"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("stopped after print " + std::to_string(c.stopAfter));
        RecordingSurface box;
        box.stopAfterPrints = c.stopAfter;
        DistanceMatrix(box, data, "5000");
        ASSERT_EQ(box.calls.size(), c.calls);
        EXPECT_EQ(box.calls.back(), c.last);
    }
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
