#pragma once

#include "run/run_observer.h"

#include <QElapsedTimer>

#include <string>

namespace tessarin {

class RunDisplay;

/// Tells the window what a run does. The search's improvements are all drawn
/// and its every 10th generation shown with the events processed; a map
/// stage's map is drawn at most about 10 times a second and the events
/// processed about every 20 ms. Only when the window draws depends on the
/// clock; the run's result never does. A Stop or a Close ends the run at its
/// next check; after a Close nothing is drawn or shown.
class WindowRunObserver final : public RunObserver {
public:
    enum class Pace {
        /// The search: at every report.
        EveryReport,
        /// A map stage: by the clock.
        Clock,
    };

    WindowRunObserver(RunDisplay &display, int itemCount, Pace pace);

    void progress(const std::string &stage, int iteration) override;
    bool wantsMap() override;
    void improved(const Layout &layout, double fit) override;
    bool stopRequested() override;

    /// Shows the last progress and draws a stage's final map, unless the
    /// window is closing.
    void finish(const Layout &layout, double fit);

private:
    RunDisplay &m_display;
    int m_itemCount;
    Pace m_pace;
    std::string m_progressText;
    QElapsedTimer m_sinceDrawing;
    QElapsedTimer m_sinceEvents;
};

/// The text shown where the generation stands: the iteration, after the
/// letter of the best-map route when there is one ("b 37", " 37").
std::string MapProgressText(const std::string &stage, int iteration);

} // namespace tessarin
