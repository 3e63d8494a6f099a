#pragma once
// Points, sizes and rectangles. A rectangle includes its left and top edges and excludes its
// right and bottom edges, as every caller's arithmetic assumes.

#include "platform/base/win_types.h"

struct POINT {
    LONG x = 0;
    LONG y = 0;
};
struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
using tagRECT = RECT;
using tagPOINT = POINT;
using tagSIZE = SIZE;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* target, const RECT* source);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* first, const RECT* second);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
// Both give an empty (all zero) rectangle and FALSE when the result is empty.
BOOL IntersectRect(RECT* target, const RECT* first, const RECT* second);
BOOL UnionRect(RECT* target, const RECT* first, const RECT* second);

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int width, int height) { cx = width; cy = height; }
    CSize(const SIZE& size) : SIZE(size) {}
    bool operator==(const SIZE& other) const { return cx == other.cx && cy == other.cy; }
    bool operator!=(const SIZE& other) const { return !(*this == other); }
    CSize operator+(const SIZE& other) const { return CSize(cx + other.cx, cy + other.cy); }
    CSize operator-(const SIZE& other) const { return CSize(cx - other.cx, cy - other.cy); }
};

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int px, int py) { x = px; y = py; }
    CPoint(const POINT& point) : POINT(point) {}
    void Offset(int dx, int dy) { x += dx; y += dy; }
    void SetPoint(int px, int py) { x = px; y = py; }
    bool operator==(const POINT& other) const { return x == other.x && y == other.y; }
    bool operator!=(const POINT& other) const { return !(*this == other); }
    CPoint operator+(const SIZE& size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(const SIZE& size) const { return CPoint(x - size.cx, y - size.cy); }
    CSize operator-(const POINT& other) const { return CSize(x - other.x, y - other.y); }
    CPoint& operator+=(const SIZE& size) { x += size.cx; y += size.cy; return *this; }
    CPoint& operator-=(const SIZE& size) { x -= size.cx; y -= size.cy; return *this; }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rect) : RECT(rect) {}
    CRect(const RECT* rect) : RECT(rect ? *rect : RECT{}) {}
    CRect(POINT point, SIZE size) : CRect(point.x, point.y, point.x + size.cx, point.y + size.cy) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(const RECT* source) { ::CopyRect(this, source); }
    BOOL EqualRect(const RECT* other) const { return ::EqualRect(this, other); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT offset) { ::OffsetRect(this, offset.x, offset.y); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    BOOL IntersectRect(const RECT* first, const RECT* second) { return ::IntersectRect(this, first, second); }
    BOOL UnionRect(const RECT* first, const RECT* second) { return ::UnionRect(this, first, second); }
    void NormalizeRect();
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }

    bool operator==(const RECT& other) const { return ::EqualRect(this, &other) != 0; }
    bool operator!=(const RECT& other) const { return !(*this == other); }
    CRect& operator&=(const RECT& other) { ::IntersectRect(this, this, &other); return *this; }
    CRect& operator|=(const RECT& other) { ::UnionRect(this, this, &other); return *this; }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};
