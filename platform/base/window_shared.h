#pragma once
// State the window files share: the windows alive, focus, capture, activation, pointer and
// cursor, and the small helpers for packing pointers into message parameters. Internal to
// the platform's base.
//
// Threads: every window and everything here belongs to the UI thread (the one running the
// toolkit's loop, or the test's). Other threads may only post: PostMessageA queues under its
// own lock and the UI thread delivers; a worker never reads or writes a CWnd or these
// variables.

#include "platform/base/window.h"

#include <functional>
#include <unordered_set>

namespace platform::window_shared {

extern CWnd* focus_window;
extern CWnd* capture_window;
extern CWnd* active_window;
extern POINT cursor_position;
extern HCURSOR current_cursor;
extern CWnd* cursor_target;

std::unordered_set<const CWnd*>& live_windows();
std::function<void()>& tip_canceller();
// Moves the focus: WM_KILLFOCUS to the old window first, then WM_SETFOCUS to the new one.
void tell_focus(CWnd* old_focus, CWnd* new_focus, bool move_toolkit_focus);

template <typename T>
LPARAM as_lparam(T* pointer)
{
    return reinterpret_cast<LPARAM>(pointer);
}

template <typename T>
T* from_param(std::uintptr_t value)
{
    return reinterpret_cast<T*>(value);
}

template <typename T>
T* from_param(std::intptr_t value)
{
    return reinterpret_cast<T*>(value);
}

inline CPoint point_of(LPARAM lparam)
{
    return CPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
}

}  // namespace platform::window_shared
