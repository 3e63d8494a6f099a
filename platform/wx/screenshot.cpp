#include "platform/wx/screenshot.h"

#include "platform/base/system_services.h"
#include "platform/wx/wx_convert.h"
#include "platform/wx/wx_peers.h"

#include <wx/dcmemory.h>
#include <wx/toplevel.h>

#ifdef TARVOLINE_HAVE_XLIB
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <algorithm>

namespace platform {

namespace {

void draw_window(wxDC& out, const CWnd& window, wxPoint at)
{
    const CRect rect = window.window_rect_in_parent();
    if (wxBitmap* backing = backing_bitmap_of(window)) {
        out.DrawBitmap(*backing, at);
    } else {
        out.SetPen(wxPen(to_wx(GetSysColor(COLOR_BTNSHADOW))));
        out.SetBrush(wxBrush(to_wx(GetSysColor(COLOR_WINDOW))));
        out.DrawRectangle(at.x, at.y, rect.Width(), rect.Height());
        CString text;
        window.GetWindowText(text);
        out.SetTextForeground(to_wx(GetSysColor(COLOR_WINDOWTEXT)));
        out.DrawText(wxString::FromUTF8(text.GetString()), at.x + 2, at.y + 2);
    }
    const int frame = window.frame_width();
    const auto& children = window.children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if (!((*child)->GetStyle() & WS_VISIBLE))
            continue;
        const CRect place = (*child)->window_rect_in_parent();
        out.SetClippingRegion(at.x + frame, at.y + frame, std::max(0, rect.Width() - 2 * frame),
                              std::max(0, rect.Height() - 2 * frame));
        draw_window(out, **child, wxPoint(at.x + frame + place.left, at.y + frame + place.top));
        out.DestroyClippingRegion();
    }
}

// The toolkit's screen context keeps the first picture it read for good, so the X server is
// asked directly, on a connection of its own.
wxImage read_screen(const wxRect& wanted)
{
#ifdef TARVOLINE_HAVE_XLIB
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return wxImage();
    const int screen = DefaultScreen(display);
    const wxRect area = wanted.Intersect(wxRect(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)));
    wxImage picture;
    if (!area.IsEmpty()) {
        XImage* pixels = XGetImage(display, RootWindow(display, screen), area.GetX(), area.GetY(),
                                   static_cast<unsigned>(area.GetWidth()), static_cast<unsigned>(area.GetHeight()),
                                   AllPlanes, ZPixmap);
        if (pixels) {
            picture.Create(area.GetWidth(), area.GetHeight());
            for (int y = 0; y < area.GetHeight(); ++y)
                for (int x = 0; x < area.GetWidth(); ++x) {
                    const unsigned long value = XGetPixel(pixels, x, y);
                    picture.SetRGB(x, y, static_cast<unsigned char>((value & pixels->red_mask) >> 16),
                                   static_cast<unsigned char>((value & pixels->green_mask) >> 8),
                                   static_cast<unsigned char>(value & pixels->blue_mask));
                }
            XDestroyImage(pixels);
        }
    }
    XCloseDisplay(display);
    return picture;
#else
    (void)wanted;
    return wxImage();
#endif
}

}  // namespace

wxImage window_image(const CWnd& window)
{
    const CRect rect = window.window_rect_in_parent();
    wxBitmap picture(std::max(1, rect.Width()), std::max(1, rect.Height()), 24);
    {
        wxMemoryDC out(picture);
        out.SetBackground(wxBrush(to_wx(GetSysColor(COLOR_BTNFACE))));
        out.Clear();
        draw_window(out, window, wxPoint(0, 0));
    }
    return picture.ConvertToImage();
}

bool save_window_png(const CWnd& window, const std::string& path)
{
    return window_image(window).SaveFile(wxString::FromUTF8(path.c_str()), wxBITMAP_TYPE_PNG);
}

wxImage screen_image(const CWnd& window)
{
    wxWindow* widget = widget_of(window);
    if (!widget)
        return wxImage();
    if (window.GetParent() == nullptr)
        widget = wxGetTopLevelParent(widget);
    if (!widget || !widget->IsShownOnScreen())
        return wxImage();
    return read_screen(widget->GetScreenRect());
}

bool save_screen_png(const CWnd& window, const std::string& path)
{
    const wxImage image = screen_image(window);
    return image.IsOk() && image.SaveFile(wxString::FromUTF8(path.c_str()), wxBITMAP_TYPE_PNG);
}

}  // namespace platform
