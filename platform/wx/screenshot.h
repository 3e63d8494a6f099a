#pragma once
// What a window shows, as an image: its backing bitmap with its visible children laid over it
// (the toolkit's own controls as plain boxes with their text). Tests read pixels from it;
// anyone checking the look saves it as PNG.

#include "platform/base/window.h"

#include <wx/image.h>

#include <string>

namespace platform {

wxImage window_image(const CWnd& window);
// Writes the window's image as a PNG file; false when the file cannot be written.
bool save_window_png(const CWnd& window, const std::string& path);
// What the display shows of the window's toolkit window (a top-level window with its menu
// bar and status bar, the toolkit's own controls as the toolkit draws them), read back from
// the X server; an empty image where the display cannot be read.
wxImage screen_image(const CWnd& window);
bool save_screen_png(const CWnd& window, const std::string& path);

}  // namespace platform
