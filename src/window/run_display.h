#pragma once

#include <string>

namespace tessarin {

/// What a run needs of the window it runs in: RunControl implements it with
/// the window's controls; WindowRunObserver calls it.
class RunDisplay {
public:
    virtual ~RunDisplay() = default;

    /// Draws an improved best map (`layout` at position 0 of positions
    /// 1..2N) with its fit, then processes pending events.
    virtual void drawImprovement(const float *layout, int itemCount, double fit) = 0;
    /// Shows how far the run is (" 10", "b 37") where the generation stands.
    virtual void showGeneration(const std::string &text) = 0;
    /// Lets the window handle pending input (Stop, Rerun, Close, repaints).
    virtual void processEvents() = 0;
    /// True once Stop has been pressed.
    virtual bool stopRequested() = 0;
    /// True once the window is closing: the run ends at its next check and
    /// nothing more is drawn.
    virtual bool closing() = 0;
};

} // namespace tessarin
