#pragma once

#include <string>

namespace tessarin {

/// What the search needs from the window around it. The window implements it
/// with its controls; the batch mode without any; tests record the calls.
class SearchHost {
public:
    virtual ~SearchHost() = default;

    /// Enables or disables the Open command for the duration of a run.
    virtual void setOpenEnabled(bool enabled) = 0;
    /// Sets the map surface's scale and clears it, at the start of a run.
    virtual void prepareMap() = 0;
    /// Busy or default pointer.
    virtual void setBusy(bool busy) = 0;
    /// The text of the generations box, read once at the start of a run.
    virtual std::string generationsText() = 0;
    /// Draws an improved best map with its fit and processes pending events.
    /// `layout` points at position 0 of a layout with positions 1..2N.
    virtual void drawImprovement(const float *layout, int itemCount, double fit) = 0;
    /// Shows the generation reached (" 10", " 20", ...).
    virtual void showGeneration(const std::string &text) = 0;
    /// Lets the window handle pending input. May throw to abandon the run.
    virtual void processEvents() = 0;
    /// True once a stop has been asked for.
    virtual bool stopRequested() = 0;
};

} // namespace tessarin
