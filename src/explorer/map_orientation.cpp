#include "explorer/map_orientation.h"

#include "base/tessarin_error.h"

#include <string>

namespace tessarin {

void TurnMap(Layout &layout, int itemCount, MapTurn turn)
{
    const auto n = static_cast<std::size_t>(itemCount);
    if (itemCount < 0 || layout.size() < 2 * n + 1)
        throw TessarinError("the map has " + std::to_string(layout.size()) + " positions, not the " +
                            std::to_string(2 * n + 1) + " of a map of " + std::to_string(itemCount) + " items");
    constexpr float Side = 1000.0f;
    for (std::size_t i = 1; i <= n; ++i) {
        float &x = layout[i];
        float &y = layout[n + i];
        switch (turn) {
        case MapTurn::RotateClockwise: {
            const float oldX = x;
            x = Side - y;
            y = oldX;
            break;
        }
        case MapTurn::ReflectHorizontally:
            x = Side - x;
            break;
        case MapTurn::ReflectVertically:
            y = Side - y;
            break;
        }
    }
}

} // namespace tessarin
