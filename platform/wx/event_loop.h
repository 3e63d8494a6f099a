#pragma once
// Runs the toolkit's real main loop (paints, timers, window-manager and input events, posted
// messages) until a condition holds or a deadline passes. Tests wait on it instead of
// sleeping; a tool may use it to let a window settle.

#include <functional>

namespace platform {

// Answers whether condition held before the deadline (seconds from now).
bool run_toolkit_loop_until(const std::function<bool()>& condition, double seconds = 5.0);

}  // namespace platform
