// Top-level windows: maximised, minimised and restored states, placement and the minimum
// tracking size.
#include "platform/base/window.h"

#include "platform/base/system_services.h"
#include "platform/base/window_shared.h"

#include <algorithm>

namespace {

UINT size_type_of(DWORD style)
{
    if (style & WS_MINIMIZE)
        return SIZE_MINIMIZED;
    return (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

}  // namespace

void CWnd::toolkit_resized(const CRect& rect, UINT size_type)
{
    if (!m_hWnd)
        return;
    const UINT old_type = size_type_of(style_);
    const CRect old_rect = rect_;
    if (old_type == SIZE_RESTORED && size_type != SIZE_RESTORED)
        restored_rect_ = rect_;
    style_ &= ~(WS_MAXIMIZE | WS_MINIMIZE);
    if (size_type == SIZE_MAXIMIZED)
        style_ |= WS_MAXIMIZE;
    else if (size_type == SIZE_MINIMIZED)
        style_ |= WS_MINIMIZE;
    // A minimised window keeps its rectangle, as the toolkit keeps its size.
    if (size_type != SIZE_MINIMIZED) {
        rect_ = rect;
        rect_.right = std::max(rect_.left, rect_.right);
        rect_.bottom = std::max(rect_.top, rect_.bottom);
    }
    if (size_type == SIZE_RESTORED)
        restored_rect_ = rect_;
    if (old_type != size_type || old_rect.Size() != rect_.Size()) {
        CRect client;
        GetClientRect(&client);
        if (size_type == SIZE_MINIMIZED)
            client = CRect();
        SendMessage(WM_SIZE, size_type, MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
    }
    if (m_hWnd && old_rect.TopLeft() != rect_.TopLeft())
        SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rect_.left), static_cast<WORD>(rect_.top)));
    if (m_hWnd && size_type != SIZE_MINIMIZED && old_rect.Size() != rect_.Size())
        Invalidate(TRUE);
}

void CWnd::change_state(UINT size_type)
{
    if (size_type == size_type_of(style_))
        return;
    CRect target = restored_rect_.IsRectEmpty() ? rect_ : restored_rect_;
    if (size_type == SIZE_MAXIMIZED)
        target = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (size_type_of(style_) == SIZE_RESTORED)
        restored_rect_ = rect_;
    toolkit_resized(target, size_type);
    if (peer_ && size_type != SIZE_MINIMIZED)
        peer_->move(rect_);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const
{
    if (!placement || !m_hWnd)
        return FALSE;
    placement->flags = 0;
    placement->showCmd = IsIconic() ? SW_SHOWMINIMIZED : IsZoomed() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    const bool restored = !IsIconic() && !IsZoomed();
    placement->rcNormalPosition = (restored || restored_rect_.IsRectEmpty()) ? rect_ : restored_rect_;
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement)
{
    if (!placement || !m_hWnd)
        return FALSE;
    const CRect normal(placement->rcNormalPosition);
    if (!IsZoomed() && !IsIconic())
        MoveWindow(&normal);
    else
        restored_rect_ = normal;
    if (placement->showCmd == SW_SHOWMAXIMIZED)
        ShowWindow(SW_MAXIMIZE);
    else if (placement->showCmd == SW_SHOWMINIMIZED)
        ShowWindow(SW_MINIMIZE);
    else if (IsZoomed() || IsIconic())
        ShowWindow(SW_RESTORE);
    return TRUE;
}

CSize CWnd::minimum_track_size()
{
    MINMAXINFO info;
    info.ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    info.ptMaxTrackSize = info.ptMaxSize;
    if (m_hWnd)
        SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return CSize(std::max(0, static_cast<int>(info.ptMinTrackSize.x)), std::max(0, static_cast<int>(info.ptMinTrackSize.y)));
}
