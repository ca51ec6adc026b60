#include "window/window_run_observer.h"

#include "window/run_display.h"

namespace tessarin {

namespace {

// A redraw of a large map takes a while; 10 a second keeps a solver mostly
// solving while the map still moves smoothly.
constexpr qint64 DrawIntervalMs = 100;
// Often enough for Stop, Close and repaints to feel immediate.
constexpr qint64 EventIntervalMs = 20;

} // namespace

std::string MapProgressText(const std::string &stage, int iteration)
{
    // The box is narrow: a route's letter and the iteration, as " 37" is a
    // generation.
    const std::string route = "route ";
    std::string text = stage.rfind(route, 0) == 0 ? stage.substr(route.size()) : std::string();
    return text + " " + std::to_string(iteration);
}

WindowRunObserver::WindowRunObserver(RunDisplay &display, int itemCount, Pace pace)
    : m_display(display), m_itemCount(itemCount), m_pace(pace)
{
    m_sinceEvents.start();
}

void WindowRunObserver::progress(const std::string &stage, int iteration)
{
    m_progressText = MapProgressText(stage, iteration);
    if (m_display.closing())
        return;
    if (m_pace == Pace::EveryReport || m_sinceEvents.elapsed() >= EventIntervalMs) {
        m_display.showGeneration(m_progressText);
        m_display.processEvents();
        m_sinceEvents.restart();
    }
}

bool WindowRunObserver::wantsMap()
{
    return m_pace == Pace::EveryReport || !m_sinceDrawing.isValid() || m_sinceDrawing.elapsed() >= DrawIntervalMs;
}

void WindowRunObserver::improved(const Layout &layout, double fit)
{
    if (m_display.closing())
        return;
    if (m_pace == Pace::Clock)
        m_display.showGeneration(m_progressText);
    // Draws, shows the fit and processes events.
    m_display.drawImprovement(layout.data(), m_itemCount, fit);
    m_sinceDrawing.start();
    m_sinceEvents.restart();
}

bool WindowRunObserver::stopRequested() { return m_display.closing() || m_display.stopRequested(); }

void WindowRunObserver::finish(const Layout &layout, double fit)
{
    if (m_display.closing())
        return;
    if (!m_progressText.empty())
        m_display.showGeneration(m_progressText);
    m_display.drawImprovement(layout.data(), m_itemCount, fit);
}

} // namespace tessarin
