#pragma once
// What a device context draws on: the backend's pixels (a window's backing bitmap or a memory
// bitmap). All coordinates are device pixels; the device context has already applied its
// origin, and the clip set last applies to every call.

#include "platform/base/gdi_objects.h"

#include <functional>
#include <memory>

struct TEXTMETRICA {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

class dc_surface {
public:
    virtual ~dc_surface() = default;

    virtual CSize size() const = 0;
    // Null: no clipping.
    virtual void set_clip(const rectangle_set* clip) = 0;
    // A line that leaves out its end point, as GDI lines do.
    virtual void line(POINT from, POINT to, const CPen& pen) = 0;
    virtual void fill(const RECT& rect, const CBrush& brush) = 0;
    // Outline in pen (when given and not null-styled), interior in brush (when given).
    virtual void rectangle(const RECT& rect, const CPen* pen, const CBrush* brush) = 0;
    virtual void ellipse(const RECT& rect, const CPen* pen, const CBrush* brush) = 0;
    virtual void arc(const RECT& box, POINT start, POINT end, const CPen& pen) = 0;
    virtual void polygon(const POINT* points, int count, const CPen* pen, const CBrush* brush) = 0;
    // Text with its top-left at (x, y); back is filled behind it when given.
    virtual void text(int x, int y, const char* text, int length, const LOGFONTA& font, COLORREF colour,
                      const COLORREF* back) = 0;
    virtual CSize text_extent(const LOGFONTA& font, const char* text, int length) = 0;
    virtual void metrics(const LOGFONTA& font, TEXTMETRICA& metrics) = 0;
    // Every pixel of rect inverted.
    virtual void invert(const RECT& rect) = 0;
    // Every other pixel of the rectangle's one-pixel frame inverted (drawing it twice restores).
    virtual void invert_dotted_frame(const RECT& rect) = 0;
    // Copies source pixels with a raster operation (SRCCOPY, SRCINVERT, SRCAND, SRCPAINT,
    // NOTSRCCOPY), stretched when the sizes differ.
    virtual bool blit(const RECT& target, dc_surface& source, const RECT& source_rect, DWORD operation) = 0;
    virtual COLORREF pixel(int x, int y) = 0;
    virtual void set_pixel(int x, int y, COLORREF colour) = 0;
    // Moves the pixels of area by dx, dy (what leaves area is lost; what is uncovered stays).
    virtual void scroll(const RECT& area, int dx, int dy) = 0;
    // A memory surface takes a bitmap to draw into (null: none).
    virtual void select_bitmap(CBitmap* bitmap) = 0;
    // Everything drawn so far is on the pixels (before they are shown or read).
    virtual void flush() = 0;
    // The toolkit's own device context, for the native renderer (null when there is none).
    virtual void* native() = 0;
};

namespace platform {

// Makes a memory surface for CreateCompatibleDC; the backend installs it.
using memory_surface_factory = std::function<std::unique_ptr<dc_surface>()>;
memory_surface_factory set_memory_surface_factory(memory_surface_factory factory);
std::unique_ptr<dc_surface> make_memory_surface();

}  // namespace platform
