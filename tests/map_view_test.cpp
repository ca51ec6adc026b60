#include "data/layout.h"
#include "base/tessarin_error.h"
#include "display/map_settings.h"
#include "display/item_label.h"
#include "display/map_view.h"
#include "recording_surface.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

using testing::RecordingSurface;

const Layout sevenItems = {0, 0, 100, 200, 300, 400, 500, 600, 0, 10, 20, 30, 40, 50, 60};

TEST(MapView, DrawsTheGridOnlyWhenTicked)
{
    for (int tick : {0, 1, 2}) {
        SCOPED_TRACE(tick);
        RecordingSurface graph;
        DrawMap(graph, sevenItems.data(), 7, 0.5, MapSettings{tick, "-1"});
        const auto strokes = graph.only("stroke");
        if (tick != 1) {
            EXPECT_TRUE(strokes.empty());
            continue;
        }
        ASSERT_EQ(strokes.size(), 19u);
        EXPECT_EQ(strokes[0], "stroke 0 0 1000 1000 8");
        EXPECT_EQ(strokes[1], "stroke 0 100 1000 100 8");
        EXPECT_EQ(strokes[2], "stroke 100 0 100 1000 8");
        EXPECT_EQ(strokes[18], "stroke 900 0 900 1000 8");
        // The grid comes after the clear and before any label.
        EXPECT_EQ(graph.calls[0], "clear");
        EXPECT_EQ(graph.calls[1], strokes[0]);
    }
}

TEST(MapView, PlacesLabelsLeftOfAndAboveTheirPoints)
{
    RecordingSurface graph;
    graph.setFontSize(18);
    graph.calls.clear();
    const Layout one = {0, 0, 1000, 0, 500};
    DrawMap(graph, one.data(), 2, 1.0, MapSettings{0, "3"});
    EXPECT_EQ(graph.only("print"),
              (std::vector<std::string>{"print -43.2 -43.2 [ 1 ] end", "print 956.8 456.8 [ 2 ] end"}));

    // The offset follows the surface's font size and outer size.
    RecordingSurface wide;
    wide.width = 10000;
    wide.height = 2500;
    wide.setFontSize(10);
    DrawMap(wide, one.data(), 2, 1.0, MapSettings{0, "3"});
    EXPECT_EQ(wide.only("print")[0], "print -12 -48 [ 1 ] end");
}

TEST(MapView, ColoursEachItemOnlyForMinusOne)
{
    struct Case {
        std::string foreText;
        std::vector<std::string> colours;
    } cases[] = {
        {"-1", {"fore 11", "fore 12", "fore 13", "fore 14", "fore 15", "fore 10", "fore 11"}},
        {"-1.0", {"fore 11", "fore 12", "fore 13", "fore 14", "fore 15", "fore 10", "fore 11"}},
        {"-2", {}},
        {"3", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.foreText);
        RecordingSurface graph;
        DrawMap(graph, sevenItems.data(), 7, 0.5, MapSettings{1, c.foreText});
        EXPECT_EQ(graph.only("fore"), c.colours);
    }
}

TEST(MapView, ReturnsTheFitInPerCentAndSkipsLabelsOnAnEmptySurface)
{
    RecordingSurface graph;
    EXPECT_EQ(DrawMap(graph, sevenItems.data(), 7, 0.8765, MapSettings{}), " 87.65");
    RecordingSurface empty;
    empty.width = 0;
    EXPECT_EQ(DrawMap(empty, sevenItems.data(), 7, 0.5, MapSettings{}), "    50");
    EXPECT_TRUE(empty.only("print").empty());
}

TEST(MapView, PrepareSetsTheMapScaleAndClears)
{
    RecordingSurface graph;
    PrepareMap(graph);
    EXPECT_EQ(graph.calls, (std::vector<std::string>{"scale -50 -50 1050 1050", "clear"}));
}

TEST(MapSettings, CopiesColoursAndFontOntoTheMap)
{
    struct Case {
        std::string back, fore, font;
        SettingsForm form;
        std::vector<std::string> calls;
    } cases[] = {
        {"0", "-1", "18", SettingsForm::StartUp, {"back 0", "font Times New Roman", "size 18"}},
        {"2.5", "15", "12.5", SettingsForm::StartUp, {"back 2", "fore 15", "font Times New Roman", "size 12.5"}},
        {"1.5", "-0.3", "18", SettingsForm::StartUp, {"back 2", "fore 0", "font Times New Roman", "size 18"}},
        {"1.5", "-0.3", "18", SettingsForm::Rerun, {"back 2", "font Times New Roman", "size 18"}},
        {"0", "15", "18", SettingsForm::Rerun, {"back 0", "fore 15", "font Times New Roman", "size 18"}},
        {"0", "15.2", "18", SettingsForm::Rerun, {"back 0", "font Times New Roman", "size 18"}},
        {"0", "14.6", "18", SettingsForm::Rerun, {"back 0", "fore 15", "font Times New Roman", "size 18"}},
        {"0", "0.5", "18", SettingsForm::Rerun, {"back 0", "fore 0", "font Times New Roman", "size 18"}},
        {"0", "-1", "18", SettingsForm::Rerun, {"back 0", "font Times New Roman", "size 18"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.back + " " + c.fore + " " + c.font);
        RecordingSurface graph;
        ApplyMapSettings(graph, DisplaySettings{c.back, c.fore, c.font}, c.form);
        EXPECT_EQ(graph.calls, c.calls);
    }
}

TEST(MapSettings, NamesTheBoxAndTheValueItRefuses)
{
    struct Case {
        std::string back, fore, font, message;
        std::size_t applied;
    } cases[] = {
        {"16", "-1", "18", "Graph Background: \"16\" is not a colour index 0 to 15", 0},
        {"-1", "-1", "18", "Graph Background: \"-1\" is not a colour index 0 to 15", 0},
        {"1e9", "-1", "18", "Graph Background: \"1e9\" is not a colour index 0 to 15", 0},
        {"0", "99", "18", "Digit color: \"99\" is not a colour index 0 to 15", 1},
        {"0", "-1", "-3", "Fontsize: \"-3\"", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        RecordingSurface graph;
        try {
            ApplyMapSettings(graph, DisplaySettings{c.back, c.fore, c.font}, SettingsForm::StartUp);
            ADD_FAILURE() << "no error";
        } catch (const TessarinError &error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
        }
        EXPECT_EQ(graph.calls.size(), c.applied);
    }
}

} // namespace
} // namespace tessarin

namespace tessarin {
namespace {

TEST(MapView, LabelsShowTheNamesWithTheNumbersBlanksAndOffsets)
{
    const Layout two = {0, 0, 1000, 0, 500};
    const std::vector<std::string> names = {"Cape Town", "tab\there"};
    RecordingSurface graph;
    graph.setFontSize(18);
    graph.calls.clear();
    DrawMap(graph, two.data(), 2, 1.0, MapSettings{0, "-1"}, names);
    EXPECT_EQ(graph.only("print"),
              (std::vector<std::string>{"print -43.2 -43.2 [ Cape Town ] end", "print 956.8 456.8 [ tab here ] end"}));
    // The colours are the cycle of the numbered labels.
    EXPECT_EQ(graph.only("fore"), (std::vector<std::string>{"fore 11", "fore 12"}));
}

TEST(ItemLabel, NamesAnItemOrAPairForATooltip)
{
    const std::vector<std::string> cities = {"London", "Paris", "Chicago"};
    EXPECT_EQ(ItemTitle(cities, 3), "3 Chicago");
    EXPECT_EQ(ItemTitle({}, 3), "3");
    EXPECT_EQ(PairTitle(cities, 3, 1, 920.0f), "3 Chicago \u2013 1 London: 920");
    EXPECT_EQ(PairTitle({}, 2, 1, 0.1f), "2 \u2013 1: 0.1");
    EXPECT_EQ(MapLabelText({}, 12), " 12 ");
}

} // namespace
} // namespace tessarin
