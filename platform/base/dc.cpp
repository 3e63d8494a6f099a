#include "platform/base/dc.h"

#include "platform/base/system_services.h"
#include "platform/base/window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace {

platform::memory_surface_factory& memory_factory()
{
    static platform::memory_surface_factory made;
    return made;
}

}  // namespace

namespace platform {

memory_surface_factory set_memory_surface_factory(memory_surface_factory factory)
{
    return std::exchange(memory_factory(), std::move(factory));
}

std::unique_ptr<dc_surface> make_memory_surface()
{
    return memory_factory() ? memory_factory()() : nullptr;
}

}  // namespace platform

CDC::CDC()
{
    m_hDC = this;
    pen_ = static_cast<CPen*>(GetStockObject(BLACK_PEN));
    brush_ = static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
    font_ = static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
}

CDC::~CDC() = default;

void CDC::attach_surface(std::unique_ptr<dc_surface> surface, CWnd* window)
{
    surface_ = std::move(surface);
    window_ = window;
    apply_clip();
}

void CDC::drawing_done() {}

BOOL CDC::CreateCompatibleDC(CDC* /*dc*/)
{
    surface_ = platform::make_memory_surface();
    bitmap_ = nullptr;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (surface_)
        surface_->select_bitmap(nullptr);
    surface_.reset();
    bitmap_ = nullptr;
    return TRUE;
}

int CDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case HORZRES:
        return surface_ ? surface_->size().cx : GetSystemMetrics(0);
    case VERTRES:
        return surface_ ? surface_->size().cy : GetSystemMetrics(1);
    default:
        return 0;
    }
}

CPen* CDC::SelectObject(CPen* pen)
{
    CPen* old = pen_;
    if (pen)
        pen_ = pen;
    return old;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    CBrush* old = brush_;
    if (brush)
        brush_ = brush;
    return old;
}

CFont* CDC::SelectObject(CFont* font)
{
    CFont* old = font_;
    if (font)
        font_ = font;
    return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    CBitmap* old = bitmap_;
    if (!bitmap)
        return old;
    bitmap_ = bitmap;
    if (surface_)
        surface_->select_bitmap(bitmap);
    return old;
}

int CDC::SelectObject(CRgn* region)
{
    return SelectClipRgn(region);
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (!object)
        return nullptr;
    switch (object->kind()) {
    case gdi_kind::pen:
        return SelectObject(static_cast<CPen*>(object));
    case gdi_kind::brush:
        return SelectObject(static_cast<CBrush*>(object));
    case gdi_kind::font:
        return SelectObject(static_cast<CFont*>(object));
    case gdi_kind::bitmap:
        return SelectObject(static_cast<CBitmap*>(object));
    case gdi_kind::region:
        SelectClipRgn(static_cast<CRgn*>(object));
        return nullptr;
    }
    return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index)
{
    return SelectObject(GetStockObject(index));
}

COLORREF CDC::SetTextColor(COLORREF colour) { return std::exchange(text_colour_, colour); }
COLORREF CDC::SetBkColor(COLORREF colour) { return std::exchange(back_colour_, colour); }

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(back_mode_, mode);
}

int CDC::SetROP2(int mode) { return std::exchange(rop2_, mode); }
UINT CDC::SetTextAlign(UINT align) { return std::exchange(text_align_, align); }
int CDC::SetStretchBltMode(int /*mode*/) { return COLORONCOLOR; }

CPoint CDC::SetViewportOrg(int x, int y) { return std::exchange(viewport_origin_, CPoint(x, y)); }

CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    const CPoint old = viewport_origin_;
    viewport_origin_.Offset(dx, dy);
    return old;
}

CPoint CDC::SetWindowOrg(int x, int y) { return std::exchange(window_origin_, CPoint(x, y)); }

CPoint CDC::offset() const
{
    return CPoint(viewport_origin_.x - window_origin_.x, viewport_origin_.y - window_origin_.y);
}

POINT CDC::to_device(int x, int y) const
{
    const CPoint shift = offset();
    return POINT{x + shift.x, y + shift.y};
}

RECT CDC::to_device(const RECT& rect) const
{
    const CPoint shift = offset();
    return CRect(rect.left + shift.x, rect.top + shift.y, rect.right + shift.x, rect.bottom + shift.y);
}

RECT CDC::to_logical(const RECT& rect) const
{
    const CPoint shift = offset();
    return CRect(rect.left - shift.x, rect.top - shift.y, rect.right - shift.x, rect.bottom - shift.y);
}

void CDC::LPtoDP(POINT* points, int count) const
{
    for (int index = 0; points && index < count; ++index)
        points[index] = to_device(points[index].x, points[index].y);
}

void CDC::DPtoLP(POINT* points, int count) const
{
    const CPoint shift = offset();
    for (int index = 0; points && index < count; ++index) {
        points[index].x -= shift.x;
        points[index].y -= shift.y;
    }
}

void CDC::LPtoDP(RECT* rect) const
{
    if (rect)
        *rect = to_device(*rect);
}

void CDC::DPtoLP(RECT* rect) const
{
    if (rect)
        *rect = to_logical(*rect);
}

int CDC::SaveDC()
{
    state saved;
    saved.pen = pen_;
    saved.brush = brush_;
    saved.font = font_;
    saved.text_colour = text_colour_;
    saved.back_colour = back_colour_;
    saved.back_mode = back_mode_;
    saved.rop2 = rop2_;
    saved.text_align = text_align_;
    saved.position = position_;
    saved.viewport_origin = viewport_origin_;
    saved.window_origin = window_origin_;
    saved.clipped = clipped_;
    saved.clip = clip_;
    saved_.push_back(saved);
    return static_cast<int>(saved_.size());
}

BOOL CDC::RestoreDC(int saved)
{
    const int count = static_cast<int>(saved_.size());
    const int index = saved < 0 ? count + saved : saved - 1;
    if (index < 0 || index >= count)
        return FALSE;
    const state restored = saved_[static_cast<size_t>(index)];
    saved_.resize(static_cast<size_t>(index));
    pen_ = restored.pen;
    brush_ = restored.brush;
    font_ = restored.font;
    text_colour_ = restored.text_colour;
    back_colour_ = restored.back_colour;
    back_mode_ = restored.back_mode;
    rop2_ = restored.rop2;
    text_align_ = restored.text_align;
    position_ = restored.position;
    viewport_origin_ = restored.viewport_origin;
    window_origin_ = restored.window_origin;
    clipped_ = restored.clipped;
    clip_ = restored.clip;
    apply_clip();
    return TRUE;
}

void CDC::set_base_clip(const rectangle_set& clip)
{
    has_base_clip_ = true;
    base_clip_ = clip;
    apply_clip();
}

void CDC::apply_clip()
{
    if (!surface_)
        return;
    if (!clipped_ && !has_base_clip_) {
        surface_->set_clip(nullptr);
        return;
    }
    rectangle_set effective;
    if (clipped_ && has_base_clip_) {
        effective = rectangle_set::combine(clip_, base_clip_, RGN_AND);
    } else {
        effective = clipped_ ? clip_ : base_clip_;
    }
    surface_->set_clip(&effective);
}

int CDC::SelectClipRgn(CRgn* region)
{
    return SelectClipRgn(region, RGN_COPY);
}

int CDC::SelectClipRgn(CRgn* region, int mode)
{
    if (!region) {
        if (mode != RGN_COPY)
            return ERROR;
        clipped_ = false;
        clip_ = rectangle_set();
        apply_clip();
        return SIMPLEREGION;
    }
    // A clip region is given in device units, as the platform defines it.
    const rectangle_set& given = region->area();
    if (mode == RGN_COPY || !clipped_) {
        if (mode == RGN_COPY || mode == RGN_AND || mode == RGN_OR)
            clip_ = given;
        else if (mode == RGN_DIFF)
            return ERROR;
    } else {
        clip_ = rectangle_set::combine(clip_, given, mode);
    }
    clipped_ = true;
    apply_clip();
    return clip_.kind();
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom)
{
    const RECT device = to_device(RECT{left, top, right, bottom});
    if (clipped_)
        clip_.intersect(device);
    else
        clip_ = rectangle_set(device);
    clipped_ = true;
    apply_clip();
    return clip_.kind();
}

int CDC::IntersectClipRect(const RECT* rect)
{
    return rect ? IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom) : ERROR;
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom)
{
    if (!clipped_) {
        const CSize size = surface_ ? surface_->size() : CSize(32767, 32767);
        clip_ = rectangle_set(RECT{0, 0, size.cx, size.cy});
        clipped_ = true;
    }
    clip_.subtract(to_device(RECT{left, top, right, bottom}));
    apply_clip();
    return clip_.kind();
}

int CDC::ExcludeClipRect(const RECT* rect)
{
    return rect ? ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom) : ERROR;
}

int CDC::GetClipBox(RECT* rect) const
{
    rectangle_set effective;
    const CSize size = surface_ ? surface_->size() : CSize(0, 0);
    effective.add(RECT{0, 0, size.cx, size.cy});
    if (clipped_)
        effective = rectangle_set::combine(effective, clip_, RGN_AND);
    if (has_base_clip_)
        effective = rectangle_set::combine(effective, base_clip_, RGN_AND);
    if (rect)
        *rect = to_logical(effective.bounding_box());
    return effective.kind();
}

BOOL CDC::PtVisible(int x, int y) const
{
    CRect box;
    GetClipBox(&box);
    return box.PtInRect(CPoint(x, y));
}

BOOL CDC::RectVisible(const RECT* rect) const
{
    CRect box;
    GetClipBox(&box);
    CRect overlap;
    return rect && overlap.IntersectRect(&box, rect);
}

CPoint CDC::MoveTo(int x, int y)
{
    return std::exchange(position_, CPoint(x, y));
}

void CDC::xor_line(POINT from, POINT to)
{
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    if (dy == 0) {
        surface_->invert(RECT{std::min(from.x, to.x + 1), from.y, std::max(from.x + 1, to.x), from.y + 1});
        return;
    }
    if (dx == 0) {
        surface_->invert(RECT{from.x, std::min(from.y, to.y + 1), from.x + 1, std::max(from.y + 1, to.y)});
        return;
    }
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int step = 0; step < steps; ++step) {
        const int x = from.x + dx * step / steps;
        const int y = from.y + dy * step / steps;
        surface_->invert(RECT{x, y, x + 1, y + 1});
    }
}

BOOL CDC::LineTo(int x, int y)
{
    const POINT from = to_device(position_.x, position_.y);
    const POINT to = to_device(x, y);
    position_ = CPoint(x, y);
    if (!surface_ || !pen_ || pen_->style() == PS_NULL)
        return TRUE;
    if (rop2_ == R2_NOT || rop2_ == R2_XORPEN)
        xor_line(from, to);
    else
        surface_->line(from, to, *pen_);
    drawing_done();
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    const CPoint saved = position_;
    MoveTo(points[0]);
    for (int index = 1; index < count; ++index)
        LineTo(points[index]);
    position_ = saved;
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    if (!surface_)
        return TRUE;
    std::vector<POINT> device(points, points + count);
    LPtoDP(device.data(), count);
    surface_->polygon(device.data(), count, pen_, brush_);
    drawing_done();
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    if (surface_) {
        surface_->rectangle(to_device(RECT{left, top, right, bottom}), pen_, brush_);
        drawing_done();
    }
    return TRUE;
}

BOOL CDC::Rectangle(const RECT* rect)
{
    return rect ? Rectangle(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom)
{
    if (surface_) {
        surface_->ellipse(to_device(RECT{left, top, right, bottom}), pen_, brush_);
        drawing_done();
    }
    return TRUE;
}

BOOL CDC::Ellipse(const RECT* rect)
{
    return rect ? Ellipse(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y)
{
    if (surface_ && pen_) {
        surface_->arc(to_device(RECT{left, top, right, bottom}), to_device(start_x, start_y), to_device(end_x, end_y),
                      *pen_);
        drawing_done();
    }
    return TRUE;
}

BOOL CDC::Arc(const RECT* rect, POINT start, POINT end)
{
    return rect ? Arc(rect->left, rect->top, rect->right, rect->bottom, start.x, start.y, end.x, end.y) : FALSE;
}

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    // A brush may be given as a system colour index + 1, as the platform allows.
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(brush);
    if (value != 0 && value <= 32)
        brush = GetSysColorBrush(static_cast<int>(value) - 1);
    if (!rect || !brush || !surface_)
        return;
    surface_->fill(to_device(*rect), *brush);
    drawing_done();
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour)
{
    if (!rect)
        return;
    // Like the framework's, this leaves the colour as the background colour.
    SetBkColor(colour);
    if (!surface_)
        return;
    CBrush brush(colour);
    surface_->fill(to_device(*rect), brush);
    drawing_done();
}

void CDC::FillSolidRect(int x, int y, int width, int height, COLORREF colour)
{
    const RECT rect{x, y, x + width, y + height};
    FillSolidRect(&rect, colour);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush)
{
    if (!rect || !brush || IsRectEmpty(rect))
        return;
    const RECT sides[] = {{rect->left, rect->top, rect->right, rect->top + 1},
                          {rect->left, rect->bottom - 1, rect->right, rect->bottom},
                          {rect->left, rect->top, rect->left + 1, rect->bottom},
                          {rect->right - 1, rect->top, rect->right, rect->bottom}};
    for (const RECT& side : sides)
        FillRect(&side, brush);
}

void CDC::InvertRect(const RECT* rect)
{
    if (!rect || !surface_)
        return;
    surface_->invert(to_device(*rect));
    drawing_done();
}

void CDC::DrawFocusRect(const RECT* rect)
{
    if (!rect || !surface_ || IsRectEmpty(rect))
        return;
    surface_->invert_dotted_frame(to_device(*rect));
    drawing_done();
}

void CDC::Draw3dRect(const RECT* rect, COLORREF top_left, COLORREF bottom_right)
{
    if (rect)
        Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, top_left, bottom_right);
}

void CDC::Draw3dRect(int x, int y, int width, int height, COLORREF top_left, COLORREF bottom_right)
{
    const COLORREF saved = back_colour_;
    FillSolidRect(x, y, width - 1, 1, top_left);
    FillSolidRect(x, y, 1, height - 1, top_left);
    FillSolidRect(x + width, y, -1, height, bottom_right);
    FillSolidRect(x, y + height, width, -1, bottom_right);
    back_colour_ = saved;
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD operation)
{
    const RECT rect{x, y, x + width, y + height};
    switch (operation) {
    case PATCOPY:
        FillRect(&rect, brush_);
        return TRUE;
    case DSTINVERT:
    case PATINVERT:
        InvertRect(&rect);
        return TRUE;
    case BLACKNESS: {
        const COLORREF saved = back_colour_;
        FillSolidRect(&rect, RGB(0, 0, 0));
        back_colour_ = saved;
        return TRUE;
    }
    case WHITENESS: {
        const COLORREF saved = back_colour_;
        FillSolidRect(&rect, RGB(255, 255, 255));
        back_colour_ = saved;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CDC::FillRgn(CRgn* region, CBrush* brush)
{
    if (!region || !brush)
        return FALSE;
    for (const RECT& rect : region->area().rectangles())
        FillRect(&rect, brush);
    return TRUE;
}

BOOL CDC::FrameRgn(CRgn* region, CBrush* brush, int width, int height)
{
    if (!region || !brush)
        return FALSE;
    rectangle_set inner = region->area();
    rectangle_set frame = region->area();
    for (const RECT& rect : region->area().rectangles()) {
        RECT shrunk = rect;
        InflateRect(&shrunk, -width, -height);
        inner.subtract(rect);
        inner.add(shrunk);
    }
    frame = rectangle_set::combine(frame, inner, RGN_DIFF);
    for (const RECT& rect : frame.rectangles())
        FillRect(&rect, brush);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int source_x, int source_y, DWORD operation)
{
    if (!source) {
        return PatBlt(x, y, width, height, operation);
    }
    return StretchBlt(x, y, width, height, source, source_x, source_y, width, height, operation);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int source_x, int source_y, int source_width,
                     int source_height, DWORD operation)
{
    if (!source)
        return PatBlt(x, y, width, height, operation);
    if (!surface_ || !source->surface_)
        return surface_ ? FALSE : TRUE;
    const RECT target = to_device(RECT{x, y, x + width, y + height});
    const POINT from = source->to_device(source_x, source_y);
    const RECT source_rect{from.x, from.y, from.x + source_width, from.y + source_height};
    source->surface_->flush();
    const bool done = surface_->blit(target, *source->surface_, source_rect, operation);
    drawing_done();
    return done;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!surface_)
        return CLR_INVALID;
    surface_->flush();
    const POINT device = to_device(x, y);
    const CSize size = surface_->size();
    if (device.x < 0 || device.y < 0 || device.x >= size.cx || device.y >= size.cy)
        return CLR_INVALID;
    return surface_->pixel(device.x, device.y);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    if (!surface_)
        return CLR_INVALID;
    const POINT device = to_device(x, y);
    surface_->set_pixel(device.x, device.y, colour);
    drawing_done();
    return colour;
}

BOOL CDC::ScrollDC(int dx, int dy, const RECT* scroll, const RECT* clip, CRgn* update, RECT* update_rect)
{
    CRect area;
    if (scroll)
        area = to_device(*scroll);
    else if (surface_)
        area = CRect(CPoint(0, 0), surface_->size());
    if (clip)
        area &= to_device(*clip);
    if (surface_ && !area.IsRectEmpty())
        surface_->scroll(area, dx, dy);
    rectangle_set uncovered(area);
    CRect moved = area;
    moved.OffsetRect(dx, dy);
    uncovered.subtract(moved);
    if (update)
        update->set_area(uncovered);
    if (update_rect)
        *update_rect = to_logical(uncovered.bounding_box());
    drawing_done();
    return TRUE;
}

CClientDC::CClientDC(CWnd* window)
{
    if (window)
        attach_surface(window->client_surface(), window);
}

CClientDC::~CClientDC()
{
    if (surface())
        surface()->flush();
    if (GetWindow())
        GetWindow()->present();
}

void CClientDC::drawing_done() {}

CPaintDC::CPaintDC(CWnd* window)
{
    if (!window)
        return;
    bool erase = false;
    const rectangle_set painted = window->begin_paint(erase);
    attach_surface(window->client_surface(), window);
    set_base_clip(painted);
    m_ps.rcPaint = painted.bounding_box();
    m_ps.fErase = erase ? TRUE : FALSE;
    if (erase && window->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(this))))
        m_ps.fErase = FALSE;
}

CPaintDC::~CPaintDC()
{
    if (surface())
        surface()->flush();
    if (GetWindow())
        GetWindow()->present();
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size)
{
    if (!dc || !size)
        return FALSE;
    *size = dc->GetTextExtent(text, length);
    return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    if (!dc)
        return 0;
    dc->FillRect(rect, brush);
    return 1;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
    if (!dc)
        return FALSE;
    dc->DrawFocusRect(rect);
    return TRUE;
}

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
    return dc ? dc->DrawEdge(rect, edge, flags) : FALSE;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
    return dc ? dc->DrawFrameControl(rect, type, state) : FALSE;
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format)
{
    return dc ? dc->DrawText(text, length, rect, format) : 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    return dc ? dc->SelectObject(object) : nullptr;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) { return dc ? dc->SetTextColor(colour) : CLR_INVALID; }
COLORREF SetBkColor(HDC dc, COLORREF colour) { return dc ? dc->SetBkColor(colour) : CLR_INVALID; }
int SetBkMode(HDC dc, int mode) { return dc ? dc->SetBkMode(mode) : 0; }
int SaveDC(HDC dc) { return dc ? dc->SaveDC() : 0; }
BOOL RestoreDC(HDC dc, int saved) { return dc ? dc->RestoreDC(saved) : FALSE; }

BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* update_rect)
{
    return dc ? dc->ScrollDC(dx, dy, scroll, clip, update, update_rect) : FALSE;
}

HDC GetDC(HWND window) { return window ? window->GetDC() : nullptr; }
int ReleaseDC(HWND window, HDC dc) { return window ? window->ReleaseDC(dc) : 0; }

