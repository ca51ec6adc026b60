// Item groups from a column or a name,group file, and the palette that
// colours them.
#include "io/data_table_reader.h"
#include "base/tessarin_error.h"
#include "display/group_palette.h"
#include "distances/distance_source.h"
#include "distances/item_groups.h"
#include "temp_file.h"
#include "thrown_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessarin {
namespace {

using testing::ExpectMentions;
using testing::TempFile;
using testing::ThrownMessage;

const std::string flowers = "\"\",\"x\",\"Species\"\n\"1\",5.1,\"setosa\"\n\"2\",7,\"versicolor\"\n"
                            "\"3\",4.9,\"setosa\"\n\"4\",6.3,\"virginica\"\n";

TEST(ItemGroups, FromAColumnInTheOrderTheyFirstAppear)
{
    TempFile file(flowers, "flowers.csv");
    const DataTable table = ReadDataTable(file.path());
    const ItemGroups groups = GroupsFromColumn(table, "Species");
    EXPECT_EQ(groups.names, (std::vector<std::string>{"setosa", "versicolor", "virginica"}));
    EXPECT_EQ(groups.groupOf, (std::vector<int>{0, 1, 0, 2}));
    // A numeric column gives groups too, by its text.
    EXPECT_EQ(GroupsFromColumn(table, "x").names.size(), 4u);
}

struct FileCase {
    const char *name;
    std::string text;
    std::vector<std::string> itemNames;
    std::vector<std::string> groups;
    std::vector<int> groupOf;
};

TEST(ItemGroups, FromANameGroupFile)
{
    const std::vector<std::string> pqr = {"p", "q", "r"};
    const FileCase cases[] = {
        {"with a header, in another order", "name,group\nr,B\np,A\nq,B\n", pqr, {"A", "B"}, {0, 1, 1}},
        {"without a header, quoted, tab-separated", "\"q\"\t\"x y\"\n\"p\"\tz\n\"r\"\tz\n", pqr, {"z", "x y"},
         {0, 1, 0}},
        {"semicolons", "p;1\nq;2\nr;1\n", pqr, {"1", "2"}, {0, 1, 0}},
        {"numbered items", "item,group\n2,b\n1,a\n3,a\n", {}, {"a", "b"}, {0, 1, 0}},
    };
    for (const FileCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "groups.csv");
        try {
            const ItemGroups groups = ReadGroupsFile(file.path(), c.itemNames, 3);
            EXPECT_EQ(groups.names, c.groups);
            EXPECT_EQ(groups.groupOf, c.groupOf);
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

struct FaultCase {
    const char *name;
    std::string text;
    std::vector<std::string> message;
};

TEST(ItemGroups, RefusesNamesThatDoNotMatchTheItems)
{
    const std::vector<std::string> pqr = {"p", "q", "r"};
    const FaultCase cases[] = {
        {"a name that is no item", "name,group\np,A\ns,B\nq,A\nr,B\n",
         {"line 3", "\"s\" is not the name of an item"}},
        {"an item without a group", "p,A\nq,A\n", {"item 3 \"r\" has no group"}},
        {"an item twice", "p,A\nq,A\np,B\nr,A\n", {"line 3", "item 1 \"p\"", "second time", "line 1"}},
        {"a missing group", "p,A\nq,NA\nr,A\n", {"line 2", "group of item 2 \"q\" is missing"}},
        {"three fields", "p,A,x\n", {"line 1", "3 fields"}},
        {"no delimiter", "p A\n", {"line 1", "no comma, tab or semicolon"}},
    };
    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.text, "groups.csv");
        if (const auto message = ThrownMessage([&] { ReadGroupsFile(file.path(), pqr, 3); })) {
            EXPECT_NE(message->find("groups.csv"), std::string::npos) << *message;
            ExpectMentions(*message, c.message);
        }
    }
}

TEST(ItemGroups, RefusesAMissingGroupCellOrColumn)
{
    TempFile file("\"\",x,g\na,1,u\nb,2,NA\n", "table.csv");
    const DataTable table = ReadDataTable(file.path());
    EXPECT_THROW(
        {
            try {
                GroupsFromColumn(table, "g");
            } catch (const TessarinError &error) {
                EXPECT_NE(std::string(error.what()).find("line 3, column \"g\" of item 2 \"b\""), std::string::npos)
                    << error.what();
                throw;
            }
        },
        TessarinError);
    EXPECT_THROW(GroupsFromColumn(table, "Species"), TessarinError);
}

struct SourceCase {
    const char *name;
    DistanceSource source;
    std::string groupsFile; // written to a file and named in source.groups when not empty
    std::vector<std::string> groups;
    std::vector<int> groupOf;
    float distance12;
};

TEST(DistanceSource, ReadsTheTableAndTheGroupsAsAsked)
{
    DistanceSource byColumn;
    byColumn.metric = MetricChoice{Metric::Euclidean, 2.0};
    byColumn.groups = "Species";
    DistanceSource byFile;
    byFile.metric = MetricChoice{Metric::Gower, 2.0};
    DistanceSource plain;
    plain.metric = MetricChoice{Metric::Gower, 2.0};
    const SourceCase cases[] = {
        {"a column of the table, left out of the variables", byColumn, "", {"setosa", "versicolor", "virginica"},
         {0, 1, 0, 2}, 1.9f},
        {"a file, the text column then a variable of Gower", byFile, "name,group\n4,B\n3,A\n2,B\n1,A\n",
         {"A", "B"}, {0, 1, 0, 1}, static_cast<float>((1.9 / 2.1 + 1.0) / 2.0)},
        {"no groups", plain, "", {}, {}, static_cast<float>((1.9 / 2.1 + 1.0) / 2.0)},
    };
    TempFile table(flowers, "flowers.csv");
    for (const SourceCase &c : cases) {
        SCOPED_TRACE(c.name);
        TempFile groupsFile(c.groupsFile, "groups.csv");
        DistanceSource source = c.source;
        if (!c.groupsFile.empty())
            source.groups = groupsFile.path();
        try {
            const SourcedDistances read = ReadDistanceSource(table.path(), source);
            EXPECT_EQ(read.groups.names, c.groups);
            EXPECT_EQ(read.groups.groupOf, c.groupOf);
            EXPECT_EQ(read.data.Names, (std::vector<std::string>{"1", "2", "3", "4"}));
            if (c.distance12 > 0.0f) {
                EXPECT_FLOAT_EQ(read.data.distance(1, 2), c.distance12);
            }
        } catch (const TessarinError &error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(DistanceSource, RefusesSourcesThatContradictThemselves)
{
    TempFile table(flowers, "flowers.csv");
    DistanceSource both;
    both.metric = MetricChoice{};
    both.similarities = SimilarityConversion::OneMinus;
    DistanceSource standardOnly;
    standardOnly.standardization = Standardization::Z;
    DistanceSource noGroups;
    noGroups.metric = MetricChoice{Metric::Gower, 2.0};
    noGroups.groups = table.path() + ".missing";
    for (const DistanceSource *source : {&both, &standardOnly, &noGroups})
        EXPECT_THROW(ReadDistanceSource(table.path(), *source), TessarinError);
}

TEST(GroupPalette, EightOkabeItoColoursThenACycle)
{
    std::vector<RgbColour> colours;
    for (int g = 0; g < GroupPaletteSize; ++g) {
        const RgbColour colour = GroupColour(g);
        for (const RgbColour &seen : colours)
            EXPECT_FALSE(seen == colour) << "group " << g;
        colours.push_back(colour);
    }
    EXPECT_EQ(GroupColour(0), (RgbColour{0xE6, 0x9F, 0x00}));
    EXPECT_EQ(GroupColour(7), (RgbColour{0, 0, 0}));
    EXPECT_EQ(GroupColour(8), GroupColour(0));
    EXPECT_EQ(GroupColour(17), GroupColour(1));
}

} // namespace
} // namespace tessarin
