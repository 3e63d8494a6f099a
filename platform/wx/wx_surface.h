#pragma once
// A drawing surface over a toolkit bitmap: a window's backing bitmap (with the client area's
// origin and extent inside it) or the bitmap selected into a memory device context. Shapes
// and text go through a memory DC of the toolkit; pixel operations (inversion, raster
// operations, scrolling, reading) work on the raw pixels, because the toolkit's own XOR is
// not bitwise.

#include "platform/base/dc_surface.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/rawbmp.h>

#include <functional>
#include <memory>

namespace platform {

class wx_surface : public dc_surface {
public:
    // A memory surface: draws once a bitmap is selected.
    wx_surface() = default;
    // Draws on bitmap with the client area's top-left at origin and the given client size.
    wx_surface(wxBitmap* bitmap, wxPoint origin, wxSize client);
    ~wx_surface() override;

    CSize size() const override;
    void set_clip(const rectangle_set* clip) override;
    void line(POINT from, POINT to, const CPen& pen) override;
    void fill(const RECT& rect, const CBrush& brush) override;
    void rectangle(const RECT& rect, const CPen* pen, const CBrush* brush) override;
    void ellipse(const RECT& rect, const CPen* pen, const CBrush* brush) override;
    void arc(const RECT& box, POINT start, POINT end, const CPen& pen) override;
    void polygon(const POINT* points, int count, const CPen* pen, const CBrush* brush) override;
    void text(int x, int y, const char* text, int length, const LOGFONTA& font, COLORREF colour,
              const COLORREF* back) override;
    CSize text_extent(const LOGFONTA& font, const char* text, int length) override;
    void metrics(const LOGFONTA& font, TEXTMETRICA& metrics) override;
    void invert(const RECT& rect) override;
    void invert_dotted_frame(const RECT& rect) override;
    bool blit(const RECT& target, dc_surface& source, const RECT& source_rect, DWORD operation) override;
    COLORREF pixel(int x, int y) override;
    void set_pixel(int x, int y, COLORREF colour) override;
    void scroll(const RECT& area, int dx, int dy) override;
    void select_bitmap(CBitmap* bitmap) override;
    void flush() override;
    void* native() override;

    wxBitmap* bitmap() const { return bitmap_; }
    // Pixels in client coordinates, read into 0x00RRGGBB values (for blits between surfaces).
    std::vector<std::uint32_t> read_pixels(const RECT& rect);

private:
    wxDC* dc();
    void release();
    void apply_clip();
    CSize measure_text(const LOGFONTA& font, const char* text, int length);
    // The parts of rect (client coordinates) that drawing may touch, in bitmap coordinates.
    std::vector<wxRect> visible_parts(const RECT& rect) const;
    void fill_solid(const RECT& rect, const wxBrush& brush);
    void pattern_line(POINT from, POINT to, const CPen& pen);
    void with_pixels(const std::function<void(wxNativePixelData&)>& work);

    wxBitmap* bitmap_ = nullptr;
    wxPoint origin_{0, 0};
    wxSize client_{0, 0};
    bool clipped_ = false;
    rectangle_set clip_;
    std::unique_ptr<wxMemoryDC> dc_;
};

// A device context for measuring text when no surface has a bitmap.
wxDC& measuring_dc();

}  // namespace platform
