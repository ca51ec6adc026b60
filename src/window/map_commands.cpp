#include "window/map_commands.h"

namespace tessarin {

std::string MapCommandName(MapStage command)
{
    switch (command) {
    case MapStage::ClassicalStart:
        return "Classical start";
    case MapStage::Polish:
        return "Polish";
    case MapStage::BestMap:
        return "Best map";
    }
    return {};
}

MapStageOutcome RunMapCommand(MapStage command, const DistanceData &data, const Layout &best, RunObserver &observer)
{
    return RunMapStage(command, data, best, observer);
}

} // namespace tessarin
