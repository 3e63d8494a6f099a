#pragma once
// Device contexts: the selected pen, brush, font and bitmap, colours, background mode, origin,
// clip region and saved states, over a surface of the backend. A device context without a
// surface (no toolkit) keeps all its state, measures text with fixed metrics and draws
// nothing, so drawing code also runs in tests without a display.

#include "platform/base/cstring.h"
#include "platform/base/dc_surface.h"

#include <memory>
#include <vector>

class CWnd;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int R2_BLACK = 1;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_COPYPEN = 13;
constexpr int R2_WHITE = 16;

constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

constexpr int NULLREGION_CLIP = NULLREGION;

constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr UINT DIB_RGB_COLORS = 0;

// Edges of DrawEdge.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = 0x0003;
constexpr UINT BDR_INNER = 0x000C;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// Frame controls of DrawFrameControl.
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    static CDC* FromHandle(HDC dc) { return dc; }

    // A memory device context compatible with dc; select a bitmap into it to draw.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    BOOL IsPrinting() const { return FALSE; }
    CWnd* GetWindow() const { return window_; }
    int GetDeviceCaps(int index) const;

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    int SelectObject(CRgn* region);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const { return pen_; }
    CBrush* GetCurrentBrush() const { return brush_; }
    CFont* GetCurrentFont() const { return font_; }
    CBitmap* GetCurrentBitmap() const { return bitmap_; }

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return text_colour_; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return back_colour_; }
    int SetBkMode(int mode);
    int GetBkMode() const { return back_mode_; }
    int SetROP2(int mode);
    int GetROP2() const { return rop2_; }
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const { return text_align_; }
    int SetStretchBltMode(int mode);

    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    CPoint OffsetViewportOrg(int dx, int dy);
    CPoint GetViewportOrg() const { return viewport_origin_; }
    CPoint SetWindowOrg(int x, int y);
    CPoint GetWindowOrg() const { return window_origin_; }
    void LPtoDP(POINT* points, int count = 1) const;
    void DPtoLP(POINT* points, int count = 1) const;
    void LPtoDP(RECT* rect) const;
    void DPtoLP(RECT* rect) const;

    int SaveDC();
    BOOL RestoreDC(int saved);

    // Clipping, in logical coordinates.
    int SelectClipRgn(CRgn* region);
    int SelectClipRgn(CRgn* region, int mode);
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const RECT* rect);
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(const RECT* rect);
    int GetClipBox(RECT* rect) const;
    BOOL PtVisible(int x, int y) const;
    BOOL RectVisible(const RECT* rect) const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    CPoint GetCurrentPosition() const { return position_; }
    BOOL Polyline(const POINT* points, int count);
    BOOL Polygon(const POINT* points, int count);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* rect);
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(const RECT* rect);
    BOOL Arc(int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y);
    BOOL Arc(const RECT* rect, POINT start, POINT end);
    void FillRect(const RECT* rect, CBrush* brush);
    void FillSolidRect(const RECT* rect, COLORREF colour);
    void FillSolidRect(int x, int y, int width, int height, COLORREF colour);
    void FrameRect(const RECT* rect, CBrush* brush);
    void InvertRect(const RECT* rect);
    // Inverts a dotted frame: drawing the same rectangle twice restores the pixels.
    void DrawFocusRect(const RECT* rect);
    void Draw3dRect(const RECT* rect, COLORREF top_left, COLORREF bottom_right);
    void Draw3dRect(int x, int y, int width, int height, COLORREF top_left, COLORREF bottom_right);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    BOOL DrawFrameControl(RECT* rect, UINT type, UINT state);
    BOOL PatBlt(int x, int y, int width, int height, DWORD operation);
    BOOL FillRgn(CRgn* region, CBrush* brush);
    BOOL FrameRgn(CRgn* region, CBrush* brush, int width, int height);

    BOOL TextOut(int x, int y, const char* text, int length);
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const char* text, UINT length,
                    const int* spacing = nullptr);
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const CString& text, const int* spacing = nullptr);
    // Lays text out in rect by the DT_ flags; with DT_CALCRECT only measures (rect gets the
    // text's extent). Answers the text height (with DT_VCENTER or DT_BOTTOM, the offset from
    // rect's top to the bottom of the text).
    int DrawText(const char* text, int length, RECT* rect, UINT format);
    int DrawText(const CString& text, RECT* rect, UINT format) { return DrawText(text, text.GetLength(), rect, format); }
    CSize GetTextExtent(const char* text, int length) const;
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
    BOOL GetTextMetrics(TEXTMETRICA* metrics) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int source_x, int source_y, DWORD operation);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int source_x, int source_y, int source_width,
                    int source_height, DWORD operation);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
    COLORREF SetPixel(int x, int y, COLORREF colour);
    BOOL ScrollDC(int dx, int dy, const RECT* scroll, const RECT* clip, CRgn* update, RECT* update_rect);

    dc_surface* surface() const { return surface_.get(); }
    // The logical font in effect (the selected font, else the stock system font).
    const LOGFONTA& current_font() const;

protected:
    void attach_surface(std::unique_ptr<dc_surface> surface, CWnd* window);
    void set_base_clip(const rectangle_set& clip);
    // Called when drawing may have happened outside a paint.
    virtual void drawing_done();

private:
    struct state {
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        COLORREF text_colour = 0;
        COLORREF back_colour = 0;
        int back_mode = OPAQUE;
        int rop2 = R2_COPYPEN;
        UINT text_align = 0;
        CPoint position;
        CPoint viewport_origin;
        CPoint window_origin;
        bool clipped = false;
        rectangle_set clip;
    };
    CPoint offset() const;
    POINT to_device(int x, int y) const;
    RECT to_device(const RECT& rect) const;
    RECT to_logical(const RECT& rect) const;
    void apply_clip();
    void draw_text_line(int x, int y, const char* text, int length, const RECT* clip, const COLORREF* back);
    void fixed_metrics(TEXTMETRICA& metrics) const;
    void xor_line(POINT from, POINT to);

    std::unique_ptr<dc_surface> surface_;
    CWnd* window_ = nullptr;
    CPen* pen_ = nullptr;
    CBrush* brush_ = nullptr;
    CFont* font_ = nullptr;
    CBitmap* bitmap_ = nullptr;
    COLORREF text_colour_ = RGB(0, 0, 0);
    COLORREF back_colour_ = RGB(255, 255, 255);
    int back_mode_ = OPAQUE;
    int rop2_ = R2_COPYPEN;
    UINT text_align_ = 0;
    CPoint position_;
    CPoint viewport_origin_;
    CPoint window_origin_;
    bool clipped_ = false;
    rectangle_set clip_;
    bool has_base_clip_ = false;
    rectangle_set base_clip_;
    std::vector<state> saved_;
};

// A device context on a window's client area outside a paint; what it draws is shown when it
// is released.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

protected:
    void drawing_done() override;
};
using CWindowDC = CClientDC;

// The device context of a paint: takes the update region (clipped to it), sends
// WM_ERASEBKGND when an erase is pending, and validates the window.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    struct paint_info {
        BOOL fErase = FALSE;
        RECT rcPaint{};
    };
    paint_info m_ps;
};

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
BOOL ScrollDC(HDC dc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* update_rect);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
