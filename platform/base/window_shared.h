#pragma once
// State the window files share: the windows alive, focus, capture, activation, pointer and
// cursor, and the small helpers for packing pointers into message parameters. Internal to
// the platform's base.
//
// Threads: every window and everything here belongs to the UI thread (the one running the
// toolkit's loop, or the test's). Other threads may only post: PostMessageA and
// platform::post_to_window queue under their own lock (and look the window's serial number up
// under the lock window_born and window_gone take) and the UI thread delivers; a worker never
// reads or writes a CWnd or these variables.

#include "platform/base/window.h"

#include <cstdint>
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
// A window came to life or went; each life gets a serial number of its own, so work posted to
// a window that died is never delivered to a new window at the same address.
void window_born(const CWnd* window);
void window_gone(const CWnd* window);
// 0 when the window is not alive; safe from any thread.
std::uint64_t window_serial(const CWnd* window);
std::function<void()>& tip_canceller();
// Moves the focus: WM_KILLFOCUS to the old window first, then WM_SETFOCUS to the new one. The
// new focus's window becomes the active one.
void tell_focus(CWnd* old_focus, CWnd* new_focus, bool move_toolkit_focus);
// The window is going or being hidden: when it is the active window, its owner is active
// instead (none without one).
void pass_activation_from(const CWnd* window);

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
