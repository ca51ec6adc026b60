#pragma once

namespace tessarin {

/// Thrown through a running search or map command once the window is
/// closing, so that it unwinds to the handler that started it without drawing
/// again or writing a result.
struct WindowClosing {};

} // namespace tessarin
