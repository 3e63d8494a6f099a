#pragma once
// The wxWidgets backend of the platform layer: installs the peer and surface factories, the
// system colours and metrics from the toolkit (with the fixed values where it has no answer),
// the modal handlers (message boxes, popup menus), posted-message delivery and the
// visual-styles stand-in module.

namespace platform {

// Installs every service of the backend; the toolkit must be running.
void install_wx_backend();
// Starts the toolkit without running its main loop (tests and tools), then installs the
// backend. Safe to call more than once.
bool start_wx_toolkit();
// Handles the toolkit's pending events (paints, posted messages, deferred deletions).
void process_toolkit_events();

}  // namespace platform
