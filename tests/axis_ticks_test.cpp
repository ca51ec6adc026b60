#include "display/axis_ticks.h"

#include <gtest/gtest.h>

namespace tessarin {
namespace {

TEST(AxisTicks, RoundStepsAndEndsThatEncloseTheData)
{
    struct Case {
        double low, high;
        double axisLow, axisHigh, step;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {0, 7.3, 0, 8, 2, {"0", "2", "4", "6", "8"}},
        {0, 0.93, 0, 1, 0.2, {"0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        {-1.2, 3.1, -2, 4, 1, {"-2", "-1", "0", "1", "2", "3", "4"}},
        {0, 1500, 0, 1500, 500, {"0", "500", "1000", "1500"}},
        {0, 2736, 0, 3000, 1000, {"0", "1000", "2000", "3000"}},
        {0.0031, 0.0189, 0.0, 0.02, 0.005, {"0", "0.005", "0.010", "0.015", "0.020"}},
        {0, 0, 0, 1, 1, {"0", "1"}},
        {4, 4, 3, 5, 0.5, {"3.0", "3.5", "4.0", "4.5", "5.0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.low) + " to " + std::to_string(c.high));
        const AxisTicks axis = RoundTicks(c.low, c.high);
        EXPECT_DOUBLE_EQ(axis.low, c.axisLow);
        EXPECT_DOUBLE_EQ(axis.high, c.axisHigh);
        EXPECT_DOUBLE_EQ(axis.step, c.step);
        std::vector<std::string> labels;
        for (double v : axis.values())
            labels.push_back(axis.label(v));
        EXPECT_EQ(labels, c.labels);
    }
}

} // namespace
} // namespace tessarin
