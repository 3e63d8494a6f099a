// The classic three-dimensional edges and frame controls, drawn from the system colours.
#include "platform/base/dc.h"
#include "platform/base/system_services.h"

#include <algorithm>

namespace {

void fill(CDC& dc, int left, int top, int right, int bottom, COLORREF colour)
{
    if (right <= left || bottom <= top)
        return;
    CBrush brush(colour);
    const RECT rect{left, top, right, bottom};
    dc.FillRect(&rect, &brush);
}

// One ring of an edge: the left and top sides in one colour, the right and bottom in another.
void draw_ring(CDC& dc, RECT& rect, UINT sides, COLORREF top_left, COLORREF bottom_right)
{
    if (sides & BF_TOP)
        fill(dc, rect.left, rect.top, rect.right - 1, rect.top + 1, top_left);
    if (sides & BF_LEFT)
        fill(dc, rect.left, rect.top, rect.left + 1, rect.bottom - 1, top_left);
    if (sides & BF_BOTTOM)
        fill(dc, rect.left, rect.bottom - 1, rect.right, rect.bottom, bottom_right);
    if (sides & BF_RIGHT)
        fill(dc, rect.right - 1, rect.top, rect.right, rect.bottom, bottom_right);
    if (sides & BF_LEFT)
        ++rect.left;
    if (sides & BF_TOP)
        ++rect.top;
    if (sides & BF_RIGHT)
        --rect.right;
    if (sides & BF_BOTTOM)
        --rect.bottom;
}

void draw_glyph_triangle(CDC& dc, const RECT& box, UINT direction, COLORREF colour)
{
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int size = std::max(2, std::min(width, height) / 4);
    const int cx = box.left + width / 2;
    const int cy = box.top + height / 2;
    POINT points[3];
    switch (direction) {
    case DFCS_SCROLLUP:
        points[0] = POINT{cx - size, cy + size / 2};
        points[1] = POINT{cx + size, cy + size / 2};
        points[2] = POINT{cx, cy - size / 2 - 1};
        break;
    case DFCS_SCROLLLEFT:
        points[0] = POINT{cx + size / 2, cy - size};
        points[1] = POINT{cx + size / 2, cy + size};
        points[2] = POINT{cx - size / 2 - 1, cy};
        break;
    case DFCS_SCROLLRIGHT:
        points[0] = POINT{cx - size / 2, cy - size};
        points[1] = POINT{cx - size / 2, cy + size};
        points[2] = POINT{cx + size / 2 + 1, cy};
        break;
    default:
        points[0] = POINT{cx - size, cy - size / 2};
        points[1] = POINT{cx + size, cy - size / 2};
        points[2] = POINT{cx, cy + size / 2 + 1};
        break;
    }
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CPen* old_pen = dc.SelectObject(&pen);
    CBrush* old_brush = dc.SelectObject(&brush);
    dc.Polygon(points, 3);
    dc.SelectObject(old_pen);
    dc.SelectObject(old_brush);
}

void draw_check_mark(CDC& dc, const RECT& box, COLORREF colour)
{
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    CPen pen(PS_SOLID, 1, colour);
    CPen* old_pen = dc.SelectObject(&pen);
    const int left = box.left + width / 5;
    const int middle = box.left + width * 2 / 5;
    const int right = box.right - width / 5;
    const int base = box.bottom - height / 4;
    for (int thickness = 0; thickness < 3; ++thickness) {
        const POINT mark[] = {{left, base - (middle - left) + thickness - 1},
                              {middle, base + thickness - 1},
                              {right + 1, base - (right - middle) + thickness - 2}};
        dc.Polyline(mark, 3);
    }
    dc.SelectObject(old_pen);
}

}  // namespace

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags)
{
    if (!rect)
        return FALSE;
    RECT inner = *rect;
    const UINT sides = flags & BF_RECT;
    if (flags & BF_MONO) {
        draw_ring(*this, inner, sides, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
        if (edge & BDR_INNER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW));
    } else if (flags & BF_FLAT) {
        draw_ring(*this, inner, sides, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
        if (edge & BDR_INNER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    } else {
        if (edge & BDR_RAISEDOUTER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        else if (edge & BDR_SUNKENOUTER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        if (edge & BDR_RAISEDINNER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        else if (edge & BDR_SUNKENINNER)
            draw_ring(*this, inner, sides, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    }
    if (flags & BF_MIDDLE)
        fill(*this, inner.left, inner.top, inner.right, inner.bottom,
             GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST)
        *rect = inner;
    return TRUE;
}

BOOL CDC::DrawFrameControl(RECT* rect, UINT type, UINT state)
{
    if (!rect || IsRectEmpty(rect))
        return FALSE;
    const bool pushed = (state & DFCS_PUSHED) != 0;
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const bool flat = (state & DFCS_FLAT) != 0;
    const COLORREF glyph = GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONPUSH) {
        RECT face = *rect;
        DrawEdge(&face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | (flat ? BF_FLAT : 0));
        if (state & DFCS_ADJUSTRECT)
            *rect = face;
        return TRUE;
    }
    if (type == DFC_BUTTON) {
        const int side = std::min({rect->right - rect->left, rect->bottom - rect->top, 13});
        RECT box{rect->left, rect->top + (rect->bottom - rect->top - side) / 2, rect->left + side,
                 rect->top + (rect->bottom - rect->top - side) / 2 + side};
        const bool radio = (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) != 0;
        const bool third_state = (state & DFCS_BUTTON3STATE) != 0 && (state & DFCS_CHECKED);
        const COLORREF face = GetSysColor((pushed || inactive || third_state) ? COLOR_BTNFACE : COLOR_WINDOW);
        if (radio) {
            CPen outline(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
            CBrush inside(face);
            CPen* old_pen = SelectObject(&outline);
            CBrush* old_brush = SelectObject(&inside);
            Ellipse(&box);
            if (state & DFCS_CHECKED) {
                CBrush dot(glyph);
                CPen dot_pen(PS_SOLID, 1, glyph);
                SelectObject(&dot);
                SelectObject(&dot_pen);
                const int inset = std::max(2, side / 3);
                Ellipse(box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
            }
            SelectObject(old_pen);
            SelectObject(old_brush);
            return TRUE;
        }
        RECT inner = box;
        DrawEdge(&inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST | (flat ? BF_FLAT : 0));
        fill(*this, inner.left, inner.top, inner.right, inner.bottom, face);
        if (state & DFCS_CHECKED)
            draw_check_mark(*this, inner, third_state ? GetSysColor(COLOR_BTNSHADOW) : glyph);
        return TRUE;
    }
    if (type == DFC_SCROLL) {
        RECT face = *rect;
        const UINT kind = state & 0xFF;
        if (kind == DFCS_SCROLLSIZEGRIP) {
            fill(*this, face.left, face.top, face.right, face.bottom, GetSysColor(COLOR_BTNFACE));
            CPen light(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
            CPen dark(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
            CPen* old_pen = SelectObject(&dark);
            for (int offset = 2; offset < std::min(face.right - face.left, face.bottom - face.top); offset += 4) {
                SelectObject(&dark);
                MoveTo(face.right - offset, face.bottom);
                LineTo(face.right, face.bottom - offset);
                SelectObject(&light);
                MoveTo(face.right - offset - 1, face.bottom);
                LineTo(face.right, face.bottom - offset - 1);
            }
            SelectObject(old_pen);
            return TRUE;
        }
        DrawEdge(&face, pushed ? EDGE_SUNKEN : EDGE_RAISED,
                 BF_RECT | BF_MIDDLE | BF_ADJUST | ((flat || pushed) ? BF_FLAT : 0));
        if (pushed)
            OffsetRect(&face, 1, 1);
        draw_glyph_triangle(*this, face, kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind, glyph);
        return TRUE;
    }
    RECT face = *rect;
    DrawEdge(&face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    return TRUE;
}
