#include "platform/base/gdi_objects.h"

#include "platform/base/cstring.h"
#include "platform/base/system_services.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

int copy_out(const void* source, int source_size, int size, void* buffer)
{
    if (!buffer)
        return source_size;
    const int copied = std::max(0, std::min(size, source_size));
    std::memcpy(buffer, source, static_cast<size_t>(copied));
    return copied;
}

}  // namespace

BOOL CGdiObject::DeleteObject()
{
    if (!created_ || stock_)
        return FALSE;
    created_ = false;
    ++revision_;
    native_cache.reset();
    return TRUE;
}

void CGdiObject::mark_created()
{
    created_ = true;
    ++revision_;
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour)
{
    style_ = style & PS_STYLE_MASK;
    width_ = std::max(0, width);
    colour_ = colour;
    mark_created();
    return TRUE;
}

BOOL CPen::CreatePenIndirect(const LOGPEN* pen)
{
    if (!pen)
        return FALSE;
    return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

BOOL CPen::GetLogPen(LOGPEN* pen) const
{
    return GetObject(sizeof(LOGPEN), pen) == static_cast<int>(sizeof(LOGPEN));
}

int CPen::GetObject(int size, void* buffer) const
{
    if (!is_created())
        return 0;
    LOGPEN pen;
    pen.lopnStyle = static_cast<UINT>(style_);
    pen.lopnWidth.x = width_;
    pen.lopnColor = colour_;
    return copy_out(&pen, sizeof(pen), size, buffer);
}

BOOL CBrush::CreateSolidBrush(COLORREF colour)
{
    style_ = BS_SOLID;
    pattern_.clear();
    colour_ = colour;
    mark_created();
    return TRUE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush)
        return FALSE;
    style_ = brush->lbStyle == BS_NULL ? BS_NULL : BS_SOLID;
    pattern_.clear();
    colour_ = brush->lbColor;
    mark_created();
    return TRUE;
}

BOOL CBrush::CreateSysColorBrush(int index)
{
    return CreateSolidBrush(GetSysColor(index));
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap)
{
    if (!bitmap || !bitmap->is_created())
        return FALSE;
    const int width = std::min(bitmap->width(), 8);
    const int height = std::min(bitmap->height(), 8);
    pattern_.clear();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pattern_.push_back(bitmap->initial_pixels()[static_cast<size_t>(y * bitmap->width() + x)]);
    pattern_size_ = CSize(width, height);
    style_ = BS_PATTERN;
    colour_ = pattern_.empty() ? 0 : RGB((pattern_[0] >> 16) & 0xFF, (pattern_[0] >> 8) & 0xFF, pattern_[0] & 0xFF);
    mark_created();
    return TRUE;
}

BOOL CBrush::GetLogBrush(LOGBRUSH* brush) const
{
    return GetObject(sizeof(LOGBRUSH), brush) == static_cast<int>(sizeof(LOGBRUSH));
}

int CBrush::GetObject(int size, void* buffer) const
{
    if (!is_created())
        return 0;
    LOGBRUSH brush;
    brush.lbStyle = style_;
    brush.lbColor = colour_;
    return copy_out(&brush, sizeof(brush), size, buffer);
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* font)
{
    if (!font)
        return FALSE;
    font_ = *font;
    font_.lfFaceName[LF_FACESIZE - 1] = '\0';
    mark_created();
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strike_out, BYTE char_set, BYTE out_precision,
                       BYTE clip_precision, BYTE quality, BYTE pitch_and_family, const char* face_name)
{
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strike_out;
    font.lfCharSet = char_set;
    font.lfOutPrecision = out_precision;
    font.lfClipPrecision = clip_precision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitch_and_family;
    lstrcpynA(font.lfFaceName, face_name, LF_FACESIZE);
    return CreateFontIndirect(&font);
}

BOOL CFont::CreatePointFont(int tenths_of_point, const char* face_name)
{
    LOGFONTA font;
    font.lfHeight = -MulDiv(tenths_of_point, 96, 720);
    font.lfWeight = FW_NORMAL;
    lstrcpynA(font.lfFaceName, face_name, LF_FACESIZE);
    return CreateFontIndirect(&font);
}

int CFont::GetObject(int size, void* buffer) const
{
    if (!is_created())
        return 0;
    return copy_out(&font_, sizeof(font_), size, buffer);
}

int CFont::GetLogFont(LOGFONTA* font) const
{
    return GetObject(sizeof(LOGFONTA), font);
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT /*planes*/, UINT bits_per_pixel, const void* bits)
{
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return FALSE;
    width_ = width;
    height_ = height;
    initial_pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (bits && bits_per_pixel == 32)
        std::memcpy(initial_pixels_.data(), bits, initial_pixels_.size() * sizeof(std::uint32_t));
    mark_created();
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*dc*/, int width, int height)
{
    return CreateBitmap(width, height, 1, 32, nullptr);
}

int CBitmap::GetObject(int size, void* buffer) const
{
    if (!is_created())
        return 0;
    BITMAP bitmap;
    bitmap.bmWidth = width_;
    bitmap.bmHeight = height_;
    bitmap.bmWidthBytes = width_ * 4;
    return copy_out(&bitmap, sizeof(bitmap), size, buffer);
}

BOOL CBitmap::DeleteObject()
{
    initial_pixels_.clear();
    width_ = height_ = 0;
    return CGdiObject::DeleteObject();
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    area_ = rectangle_set(RECT{left, top, right, bottom});
    mark_created();
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(const RECT* rect)
{
    if (!rect)
        return FALSE;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL CRgn::SetRectRgn(int left, int top, int right, int bottom)
{
    return CreateRectRgn(left, top, right, bottom);
}

int CRgn::CombineRgn(CRgn* first, CRgn* second, int mode)
{
    if (!first || (mode != RGN_COPY && !second))
        return ERROR;
    set_area(mode == RGN_COPY ? first->area_ : rectangle_set::combine(first->area_, second->area_, mode));
    return area_.kind();
}

int CRgn::OffsetRgn(int dx, int dy)
{
    area_.offset(dx, dy);
    set_area(area_);
    return area_.kind();
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return area_.contains(POINT{x, y});
}

BOOL CRgn::RectInRegion(const RECT* rect) const
{
    return rect && area_.intersects(*rect);
}

int CRgn::GetRgnBox(RECT* rect) const
{
    if (rect)
        *rect = area_.bounding_box();
    return area_.kind();
}

int CRgn::GetObject(int /*size*/, void* /*buffer*/) const
{
    return 0;
}

void CRgn::set_area(const rectangle_set& area)
{
    area_ = area;
    mark_created();
}

HPEN CreatePen(int style, int width, COLORREF colour)
{
    return new CPen(style, width, colour);
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    return new CBrush(colour);
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font)
        return nullptr;
    auto* created = new CFont;
    created->CreateFontIndirect(font);
    return created;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    auto* created = new CRgn;
    created->CreateRectRgn(left, top, right, bottom);
    return created;
}

int CombineRgn(HRGN target, HRGN first, HRGN second, int mode)
{
    return target ? target->CombineRgn(first, second, mode) : ERROR;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object || object->is_stock())
        return FALSE;
    delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* buffer)
{
    return object ? object->GetObject(size, buffer) : 0;
}

HGDIOBJ GetStockObject(int index)
{
    static std::array<std::unique_ptr<CGdiObject>, 18> stock = [] {
        std::array<std::unique_ptr<CGdiObject>, 18> made;
        const COLORREF brush_colours[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                          RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int brush = WHITE_BRUSH; brush <= BLACK_BRUSH; ++brush)
            made[static_cast<size_t>(brush)] = std::make_unique<CBrush>(brush_colours[brush]);
        auto null_brush = std::make_unique<CBrush>();
        LOGBRUSH hollow;
        hollow.lbStyle = BS_NULL;
        null_brush->CreateBrushIndirect(&hollow);
        made[NULL_BRUSH] = std::move(null_brush);
        made[WHITE_PEN] = std::make_unique<CPen>(PS_SOLID, 1, RGB(255, 255, 255));
        made[BLACK_PEN] = std::make_unique<CPen>(PS_SOLID, 1, RGB(0, 0, 0));
        made[NULL_PEN] = std::make_unique<CPen>(PS_NULL, 1, RGB(0, 0, 0));
        for (int font_index = OEM_FIXED_FONT; font_index <= DEFAULT_GUI_FONT; ++font_index) {
            if (font_index == 15)
                continue;
            auto font = std::make_unique<CFont>();
            const bool fixed = font_index == OEM_FIXED_FONT || font_index == ANSI_FIXED_FONT ||
                               font_index == SYSTEM_FIXED_FONT;
            font->CreateFont(-13, 0, 0, 0, font_index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, fixed ? FIXED_PITCH : VARIABLE_PITCH,
                             fixed ? "DejaVu Sans Mono" : "DejaVu Sans");
            made[static_cast<size_t>(font_index)] = std::move(font);
        }
        for (auto& object : made)
            if (object)
                object->stock_ = true;
        return made;
    }();
    if (index < 0 || index >= static_cast<int>(stock.size()))
        return nullptr;
    return stock[static_cast<size_t>(index)].get();
}

HBRUSH GetSysColorBrush(int index)
{
    static std::array<std::unique_ptr<CBrush>, 32> brushes;
    if (index < 0 || index >= static_cast<int>(brushes.size()))
        return nullptr;
    auto& brush = brushes[static_cast<size_t>(index)];
    const COLORREF colour = GetSysColor(index);
    if (!brush) {
        brush = std::make_unique<CBrush>(colour);
        brush->stock_ = true;
    }
    else if (brush->colour() != colour)
        brush->CreateSolidBrush(colour);
    return brush.get();
}
