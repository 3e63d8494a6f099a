#pragma once
// Pens, brushes, fonts, bitmaps and regions as plain descriptions. The drawing backend turns a
// description into a toolkit object when it is first selected and keeps it in the object's
// cache until the description changes. A handle is the object's address.

#include "platform/base/geometry.h"
#include "platform/base/logfont.h"
#include "platform/base/region.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_STYLE_MASK = 0x0F;

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth{};
    COLORREF lopnColor = 0;
};
struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;
};
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

enum class gdi_kind { pen, brush, font, bitmap, region };

class CGdiObject {
public:
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    virtual gdi_kind kind() const = 0;
    // Copies the description into buffer (at most size bytes); returns the bytes copied, 0 for
    // an object that holds nothing.
    virtual int GetObject(int size, void* buffer) const = 0;
    // Forgets the description; the object can be created again.
    virtual BOOL DeleteObject();

    bool is_created() const { return created_; }
    HGDIOBJ GetSafeHandle() { return created_ ? this : nullptr; }
    bool is_stock() const { return stock_; }
    // Changes whenever the description does; the backend's cache is keyed by it.
    unsigned revision() const { return revision_; }

    // Toolkit-side object built from the description by the drawing backend.
    std::shared_ptr<void> native_cache;
    unsigned native_revision = 0;

protected:
    CGdiObject() = default;
    void mark_created();

private:
    friend HGDIOBJ GetStockObject(int);
    friend HBRUSH GetSysColorBrush(int);
    bool created_ = false;
    bool stock_ = false;
    unsigned revision_ = 1;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    gdi_kind kind() const override { return gdi_kind::pen; }
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL CreatePenIndirect(const LOGPEN* pen);
    int GetObject(int size, void* buffer) const override;
    BOOL GetLogPen(LOGPEN* pen) const;
    int style() const { return style_; }
    int width() const { return width_; }
    COLORREF colour() const { return colour_; }
    operator HPEN() { return static_cast<HPEN>(GetSafeHandle() ? this : nullptr); }
    static CPen* FromHandle(HPEN pen) { return pen; }

private:
    int style_ = PS_SOLID;
    int width_ = 1;
    COLORREF colour_ = 0;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    gdi_kind kind() const override { return gdi_kind::brush; }
    BOOL CreateSolidBrush(COLORREF colour);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush);
    BOOL CreateSysColorBrush(int index);
    // A brush that repeats the bitmap's pixels (at most 8 x 8 are used, as the platform does).
    BOOL CreatePatternBrush(CBitmap* bitmap);
    int GetObject(int size, void* buffer) const override;
    BOOL GetLogBrush(LOGBRUSH* brush) const;
    bool is_null() const { return style_ == BS_NULL; }
    bool is_pattern() const { return style_ == BS_PATTERN; }
    // The pattern's pixels (0x00RRGGBB) row by row, pattern_size() wide and high.
    const std::vector<std::uint32_t>& pattern() const { return pattern_; }
    CSize pattern_size() const { return pattern_size_; }
    COLORREF colour() const { return colour_; }
    operator HBRUSH() { return static_cast<HBRUSH>(GetSafeHandle() ? this : nullptr); }
    static CBrush* FromHandle(HBRUSH brush) { return brush; }

private:
    UINT style_ = BS_SOLID;
    COLORREF colour_ = 0;
    std::vector<std::uint32_t> pattern_;
    CSize pattern_size_;
};

class CFont : public CGdiObject {
public:
    CFont() = default;
    gdi_kind kind() const override { return gdi_kind::font; }
    BOOL CreateFontIndirect(const LOGFONTA* font);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strike_out, BYTE char_set, BYTE out_precision, BYTE clip_precision,
                    BYTE quality, BYTE pitch_and_family, const char* face_name);
    // Height in tenths of a point at 96 dots per inch.
    BOOL CreatePointFont(int tenths_of_point, const char* face_name);
    int GetObject(int size, void* buffer) const override;
    int GetLogFont(LOGFONTA* font) const;
    const LOGFONTA& description() const { return font_; }
    operator HFONT() { return static_cast<HFONT>(GetSafeHandle() ? this : nullptr); }
    static CFont* FromHandle(HFONT font) { return font; }

private:
    LOGFONTA font_{};
};

// A bitmap of 32-bit pixels (0x00RRGGBB: blue in the low byte, like a top-down DIB). Memory
// device contexts draw into its pixels through the backend.
class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    gdi_kind kind() const override { return gdi_kind::bitmap; }
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetObject(int size, void* buffer) const override;
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
    CSize GetBitmapDimension() const { return CSize(width_, height_); }
    BOOL DeleteObject() override;
    int width() const { return width_; }
    int height() const { return height_; }
    operator HBITMAP() { return static_cast<HBITMAP>(GetSafeHandle() ? this : nullptr); }
    static CBitmap* FromHandle(HBITMAP bitmap) { return bitmap; }

    // Pixels given at creation, until the backend takes them over. The backend owns the
    // current pixels once a device context has drawn into the bitmap.
    const std::vector<std::uint32_t>& initial_pixels() const { return initial_pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> initial_pixels_;
};

class CRgn : public CGdiObject {
public:
    CRgn() = default;
    gdi_kind kind() const override { return gdi_kind::region; }
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(const RECT* rect);
    // Makes this region first combined with second; returns the region kind or ERROR.
    int CombineRgn(CRgn* first, CRgn* second, int mode);
    int OffsetRgn(int dx, int dy);
    BOOL PtInRegion(int x, int y) const;
    BOOL RectInRegion(const RECT* rect) const;
    int GetRgnBox(RECT* rect) const;
    BOOL SetRectRgn(int left, int top, int right, int bottom);
    int GetObject(int size, void* buffer) const override;
    const rectangle_set& area() const { return area_; }
    void set_area(const rectangle_set& area);
    operator HRGN() { return static_cast<HRGN>(GetSafeHandle() ? this : nullptr); }
    static CRgn* FromHandle(HRGN region) { return region; }

private:
    rectangle_set area_;
};

// Handle-style creation: the returned object lives until DeleteObject.
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HFONT CreateFontIndirectA(const LOGFONTA* font);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
int CombineRgn(HRGN target, HRGN first, HRGN second, int mode);
// Deletes an object made by the handle-style calls; stock objects are left alone.
BOOL DeleteObject(HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, void* buffer);
HGDIOBJ GetStockObject(int index);
// The system's brush for a system colour (a stock object that follows the colour service).
HBRUSH GetSysColorBrush(int index);
