#pragma once
// Icons as resources drawn in code: the application registers a painter per icon id, which
// draws the picture at any size on a device context. LoadIcon answers a handle for a
// registered id; WM_SETICON gives a top-level window its big and small icon (the toolkit
// shows them); DrawIcon paints one.

#include "platform/base/window.h"

#include <functional>

class CDC;

constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// Draws the icon into the square (0, 0) - (size, size); what it leaves untouched stays
// transparent.
using icon_painter = std::function<void(CDC& dc, int size)>;

namespace platform {

// Registering an id already known replaces its painter.
void register_icon(UINT id, icon_painter painter);
// The painter of an icon handle (null for an unknown handle).
const icon_painter* icon_painter_of(HICON icon);
// The colour an icon's untouched pixels have while it is drawn (then made transparent).
constexpr COLORREF icon_transparent_colour = RGB(255, 0, 255);

}  // namespace platform

inline const char* MAKEINTRESOURCEA(UINT id)
{
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id));
}
// A registered icon by its resource number; null when none is registered.
HICON LoadIconA(HINSTANCE instance, const char* name);
HICON LoadIcon(UINT id);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
