#include "platform/base/geometry.h"

#include <algorithm>

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* target, const RECT* source)
{
    if (!target || !source)
        return FALSE;
    *target = *source;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL EqualRect(const RECT* first, const RECT* second)
{
    if (!first || !second)
        return FALSE;
    return first->left == second->left && first->top == second->top && first->right == second->right &&
           first->bottom == second->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* target, const RECT* first, const RECT* second)
{
    if (!target || !first || !second)
        return FALSE;
    const RECT result{std::max(first->left, second->left), std::max(first->top, second->top),
                      std::min(first->right, second->right), std::min(first->bottom, second->bottom)};
    if (IsRectEmpty(&result)) {
        *target = RECT{};
        return FALSE;
    }
    *target = result;
    return TRUE;
}

BOOL UnionRect(RECT* target, const RECT* first, const RECT* second)
{
    if (!target || !first || !second)
        return FALSE;
    const bool first_empty = IsRectEmpty(first);
    const bool second_empty = IsRectEmpty(second);
    if (first_empty && second_empty) {
        *target = RECT{};
        return FALSE;
    }
    if (first_empty) {
        *target = *second;
        return TRUE;
    }
    if (second_empty) {
        *target = *first;
        return TRUE;
    }
    *target = RECT{std::min(first->left, second->left), std::min(first->top, second->top),
                   std::max(first->right, second->right), std::max(first->bottom, second->bottom)};
    return TRUE;
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}
