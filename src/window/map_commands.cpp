#include "window/map_commands.h"

#include "data/layout_fitness.h"
#include "scaling/best_map.h"
#include "scaling/classical_scaling.h"
#include "scaling/map_polish.h"
#include "scaling/scaling_observer.h"

#include <QElapsedTimer>

namespace tessarin {

namespace {

// A redraw of a large map takes a while; 10 a second keeps a solver mostly
// solving while the map still moves smoothly.
constexpr qint64 DrawIntervalMs = 100;
// Often enough for Stop, Close and repaints to feel immediate.
constexpr qint64 EventIntervalMs = 20;

/// Tells the window what a solver does. Only when the window draws and
/// processes events depends on the clock; the solver's result does not.
class WindowObserver final : public ScalingObserver {
public:
    WindowObserver(SearchHost &host, int itemCount) : m_host(host), m_itemCount(itemCount)
    {
        m_sinceEvents.start();
    }

    void progress(const std::string &stage, int iteration) override
    {
        m_progressText = MapProgressText(stage, iteration);
        if (m_sinceEvents.elapsed() >= EventIntervalMs) {
            m_host.showGeneration(m_progressText);
            m_host.processEvents();
            m_sinceEvents.restart();
        }
    }

    bool wantsMap() override { return !m_sinceDrawing.isValid() || m_sinceDrawing.elapsed() >= DrawIntervalMs; }

    void improved(const Layout &layout, double fit) override
    {
        m_host.showGeneration(m_progressText);
        // Draws, shows the fit and processes events.
        m_host.drawImprovement(layout.data(), m_itemCount, fit);
        m_sinceDrawing.start();
        m_sinceEvents.restart();
    }

    bool stopRequested() override { return m_host.stopRequested(); }

    const std::string &progressText() const { return m_progressText; }

private:
    SearchHost &m_host;
    int m_itemCount;
    std::string m_progressText;
    QElapsedTimer m_sinceDrawing;
    QElapsedTimer m_sinceEvents;
};

} // namespace

std::string MapCommandName(MapCommand command)
{
    switch (command) {
    case MapCommand::ClassicalStart:
        return "Classical start";
    case MapCommand::Polish:
        return "Polish";
    case MapCommand::BestMap:
        return "Best map";
    }
    return {};
}

std::string MapProgressText(const std::string &stage, int iteration)
{
    // The box is narrow: a route's letter and the iteration, as " 37" is a
    // generation.
    const std::string route = "route ";
    std::string text = stage.rfind(route, 0) == 0 ? stage.substr(route.size()) : std::string();
    return text + " " + std::to_string(iteration);
}

MapCommandResult RunMapCommand(MapCommand command, SearchHost &host, const DistanceData &data, const Layout &best)
{
    const int n = data.ItemCount;
    WindowObserver observer(host, n);
    MapCommandResult result;
    switch (command) {
    case MapCommand::ClassicalStart:
        result.layout = StoredLayout(ClassicalCoordinates(data, 2, &observer), n);
        result.fit = LayoutFitness(data, result.layout);
        break;
    case MapCommand::Polish: {
        // As a search does with its seed: the best map taken to 2N positions.
        Layout start = best;
        start.resize(2 * static_cast<std::size_t>(n) + 1, 0.0f);
        PolishResult polished = PolishLayout(data, start, &observer);
        result = {std::move(polished.layout), polished.fit, polished.stopped};
        break;
    }
    case MapCommand::BestMap: {
        BestMapResult found = FindBestMap(data, &observer);
        result = {std::move(found.layout), found.fit, found.stopped};
        break;
    }
    }
    if (!observer.progressText().empty())
        host.showGeneration(observer.progressText());
    host.drawImprovement(result.layout.data(), n, result.fit);
    return result;
}

} // namespace tessarin
