#include "explorer/map_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace tessarin {
namespace {

// A map of 3 items whose coordinates all differ from map k's: position 1
// holds k plus a fraction with low bits set, so a rounding shows.
Layout MapNumber(int k)
{
    Layout map(7, 0.0f);
    for (int p = 1; p <= 6; ++p)
        map[static_cast<std::size_t>(p)] = static_cast<float>(k) + 0.1f * static_cast<float>(p) + 1e-5f;
    return map;
}

bool Bytes(const Layout &a, const Layout &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(MapHistory, UndoAndRedoGiveBackTheExactBytes)
{
    MapHistory history;
    for (int k = 0; k < 60; ++k)
        EXPECT_TRUE(history.record(MapNumber(k)));
    ASSERT_EQ(history.size(), 60u);
    // Back through every step, at least 50, then forward again.
    for (int k = 58; k >= 0; --k) {
        ASSERT_TRUE(history.canUndo());
        ASSERT_TRUE(Bytes(history.undo(), MapNumber(k))) << "undo to map " << k;
    }
    EXPECT_FALSE(history.canUndo());
    for (int k = 1; k < 60; ++k) {
        ASSERT_TRUE(history.canRedo());
        ASSERT_TRUE(Bytes(history.redo(), MapNumber(k))) << "redo to map " << k;
    }
    EXPECT_FALSE(history.canRedo());
}

TEST(MapHistory, RecordsOnlyANewMap)
{
    struct Row {
        const char *name;
        Layout again;
        bool added;
    };
    Layout negativeZero = MapNumber(1);
    negativeZero[0] = -0.0f; // another byte pattern, the same number
    Layout nan = MapNumber(1);
    nan[3] = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {{"the same map", MapNumber(1), false},
                        {"one coordinate one step away", [] {
                             Layout map = MapNumber(1);
                             map[4] = std::nextafter(map[4], 100.0f);
                             return map;
                         }(),
                         true},
                        {"a sign of zero", negativeZero, true},
                        {"a map of another size", Layout(9, 1.0f), true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        MapHistory history;
        history.record(MapNumber(1));
        EXPECT_EQ(history.record(row.again), row.added);
        EXPECT_EQ(history.size(), row.added ? 2u : 1u);
    }
    // A map holding NaN equals itself byte for byte.
    MapHistory history;
    history.record(nan);
    EXPECT_FALSE(history.record(nan));
}

TEST(MapHistory, ANewMapDropsTheRedoneAndTheOldestBeyondCapacity)
{
    MapHistory history(50);
    for (int k = 0; k < 5; ++k)
        history.record(MapNumber(k));
    history.undo();
    history.undo(); // at map 2
    history.record(MapNumber(100));
    EXPECT_FALSE(history.canRedo());
    ASSERT_EQ(history.size(), 4u);
    EXPECT_TRUE(Bytes(history.maps()[2], MapNumber(2)));
    EXPECT_TRUE(Bytes(history.maps()[3], MapNumber(100)));

    for (int k = 0; k < 80; ++k)
        history.record(MapNumber(200 + k));
    EXPECT_EQ(history.size(), 50u);
    EXPECT_TRUE(Bytes(history.maps().front(), MapNumber(230)));
    EXPECT_TRUE(Bytes(history.maps().back(), MapNumber(279)));
    int steps = 0;
    while (history.canUndo()) {
        history.undo();
        ++steps;
    }
    EXPECT_EQ(steps, 49);
}

TEST(MapHistory, RestoreChecksThePosition)
{
    MapHistory history(3);
    EXPECT_FALSE(history.restore({MapNumber(1)}, 1));
    EXPECT_TRUE(history.restore({}, 0));
    EXPECT_TRUE(history.restore({MapNumber(1), MapNumber(2)}, 0));
    EXPECT_TRUE(history.canRedo());
    // Beyond the capacity the oldest go, and the position moves with them.
    EXPECT_TRUE(history.restore({MapNumber(1), MapNumber(2), MapNumber(3), MapNumber(4)}, 2));
    EXPECT_EQ(history.position(), 1u);
    EXPECT_TRUE(Bytes(history.maps()[history.position()], MapNumber(3)));
    EXPECT_FALSE(history.restore({MapNumber(1), MapNumber(2), MapNumber(3), MapNumber(4)}, 0));
}

} // namespace
} // namespace tessarin
