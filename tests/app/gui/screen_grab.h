#pragma once
// What the X server shows of a top-level window: the pixels the toolkit has actually painted,
// unlike platform::window_image, which draws the windows' state. A window that has not been
// repainted shows its old pixels here. The window itself is read, not the root at the
// toolkit's idea of its place: without a window manager a dialog the toolkit centres can still
// sit at the origin, and platform::screen_image then reads the empty root.

#include "platform/base/window.h"
#include "platform/wx/wx_peers.h"

#include <wx/image.h>
#include <wx/toplevel.h>

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace screen_grab {

// The top-level window holding `window`, as shown; an empty image when it is not on screen.
// Found by its size among the root's viewable children: without a window manager the server
// places windows where the toolkit's own idea of the position may not be.
inline wxImage top_level_on_screen(const CWnd& window)
{
    wxWindow* widget = platform::widget_of(window);
    wxWindow* top = widget ? wxGetTopLevelParent(widget) : nullptr;
    if (!top)
        return wxImage();
    const wxSize size = top->GetSize();
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return wxImage();
    wxImage picture;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned child = count; child-- > 0 && !picture.IsOk();) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display, children[child], &attributes) || attributes.map_state != IsViewable
                || attributes.width != size.x || attributes.height != size.y)
                continue;
            XImage* grab = XGetImage(display, children[child], 0, 0, size.x, size.y, AllPlanes, ZPixmap);
            if (!grab)
                continue;
            picture.Create(size.x, size.y);
            for (int y = 0; y < size.y; ++y)
                for (int x = 0; x < size.x; ++x) {
                    const unsigned long pixel = XGetPixel(grab, x, y);
                    picture.SetRGB(x, y, (pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
                }
            XDestroyImage(grab);
        }
        if (children)
            XFree(children);
    }
    XCloseDisplay(display);
    return picture;
}


// The part of a progress bar the screen shows filled: the longest run of the bar's blue along
// any row of `bar` (a control of `window`'s dialog, whose frame is `frame` pixels wide); the
// toolkit's theme may draw a thin bar anywhere inside the control. -1 when it is not on screen.
inline double bar_fraction_on_screen(const CWnd& window, const CRect& bar, int frame)
{
    const wxImage shot = top_level_on_screen(window);
    if (!shot.IsOk())
        return -1.0;
    int longest = 0;
    for (int y = frame + bar.top; y < frame + bar.bottom && y < shot.GetHeight(); ++y) {
        int filled = 0;
        for (int x = frame + bar.left; x < frame + bar.right && x < shot.GetWidth(); ++x)
            filled += shot.GetBlue(x, y) > shot.GetRed(x, y) + 60 ? 1 : 0;
        longest = std::max(longest, filled);
    }
    return static_cast<double>(longest) / std::max(1, bar.Width());
}

}  // namespace screen_grab
