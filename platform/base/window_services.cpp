// The process-wide window services: registered messages and classes, focus and capture by
// handle, posted messages, the pointer and cursors, and the backend's hooks.
#include "platform/base/window.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/window_shared.h"

#include <deque>
#include <map>
#include <mutex>
#include <unordered_map>
#include <string>
#include <utility>

namespace platform::window_shared {

CWnd* focus_window = nullptr;
CWnd* capture_window = nullptr;
CWnd* active_window = nullptr;
POINT cursor_position{};
HCURSOR current_cursor = nullptr;
CWnd* cursor_target = nullptr;

std::unordered_set<const CWnd*>& live_windows()
{
    static std::unordered_set<const CWnd*> windows;
    return windows;
}

namespace {

std::mutex serial_mutex;
std::uint64_t next_serial = 1;

std::unordered_map<const CWnd*, std::uint64_t>& serials()
{
    static std::unordered_map<const CWnd*, std::uint64_t> numbers;
    return numbers;
}

}  // namespace

void window_born(const CWnd* window)
{
    live_windows().insert(window);
    std::lock_guard<std::mutex> lock(serial_mutex);
    serials()[window] = next_serial++;
}

void window_gone(const CWnd* window)
{
    live_windows().erase(window);
    std::lock_guard<std::mutex> lock(serial_mutex);
    serials().erase(window);
}

std::uint64_t window_serial(const CWnd* window)
{
    std::lock_guard<std::mutex> lock(serial_mutex);
    const auto found = serials().find(window);
    return found == serials().end() ? 0 : found->second;
}

std::function<void()>& tip_canceller()
{
    static std::function<void()> canceller;
    return canceller;
}

void tell_focus(CWnd* old_focus, CWnd* new_focus, bool move_toolkit_focus)
{
    focus_window = new_focus;
    // The window holding the keys is in the active window: the one a question is asked over.
    if (new_focus) {
        CWnd* top = new_focus;
        while ((top->GetStyle() & WS_CHILD) && top->GetParent())
            top = top->GetParent();
        active_window = top;
    }
    if (old_focus && ::IsWindow(old_focus))
        old_focus->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(new_focus));
    if (new_focus && focus_window == new_focus && ::IsWindow(new_focus)) {
        if (move_toolkit_focus && new_focus->peer())
            new_focus->peer()->set_focus();
        new_focus->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old_focus));
    }
}

void pass_activation_from(const CWnd* window)
{
    if (active_window != window)
        return;
    // A modal run shows its window without the window's own visible flag: the owner is taken
    // as it is.
    active_window = nullptr;
    for (CWnd* owner = window->GetParent(); owner; owner = owner->GetParent())
        if (!(owner->GetStyle() & WS_CHILD)) {
            active_window = owner;
            break;
        }
}

}  // namespace platform::window_shared

using namespace platform::window_shared;

namespace {

platform::peer_factory& factory()
{
    static platform::peer_factory made;
    return made;
}

struct posted_message {
    HWND window = nullptr;
    std::uint64_t serial = 0;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    // Posted work instead of a message.
    std::function<void()> work;
};

std::mutex posted_mutex;
std::deque<posted_message>& posted_queue()
{
    static std::deque<posted_message> queue;
    return queue;
}

}  // namespace

UINT RegisterWindowMessageA(const char* name)
{
    static std::map<std::string, UINT> registered;
    if (!name || !*name)
        return 0;
    auto found = registered.find(name);
    if (found != registered.end())
        return found->second;
    const UINT id = 0xC000 + static_cast<UINT>(registered.size());
    registered.emplace(name, id);
    return id;
}

namespace {

struct registered_class {
    std::string name;
    WNDCLASSA description;
};

std::vector<registered_class>& window_classes()
{
    static std::vector<registered_class> classes;
    return classes;
}

}  // namespace

BOOL RegisterClassA(const WNDCLASSA* window_class)
{
    if (!window_class || !window_class->lpszClassName || !*window_class->lpszClassName)
        return FALSE;
    if (find_window_class(window_class->lpszClassName))
        return FALSE;
    registered_class entry{window_class->lpszClassName, *window_class};
    window_classes().push_back(entry);
    window_classes().back().description.lpszClassName = nullptr;
    return TRUE;
}

const WNDCLASSA* find_window_class(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (registered_class& entry : window_classes()) {
        if (entry.name == name) {
            entry.description.lpszClassName = entry.name.c_str();
            return &entry.description;
        }
    }
    return nullptr;
}

const char* AfxRegisterWndClass(UINT class_style, HCURSOR cursor, HBRUSH background, HICON /*icon*/)
{
    CString name;
    name.Format("Afx:%x:%p:%p", class_style, cursor, static_cast<void*>(background));
    if (const WNDCLASSA* existing = find_window_class(name))
        return existing->lpszClassName;
    WNDCLASSA window_class;
    window_class.style = class_style;
    window_class.hCursor = cursor;
    window_class.hbrBackground = background;
    window_class.lpszClassName = name;
    RegisterClassA(&window_class);
    return find_window_class(name)->lpszClassName;
}

BOOL ReleaseCapture()
{
    CWnd* captured = capture_window;
    if (!captured)
        return TRUE;
    capture_window = nullptr;
    if (::IsWindow(captured)) {
        if (captured->peer())
            captured->peer()->set_capture(false);
        captured->SendMessage(WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetFocus() { return focus_window; }

HWND SetFocus(HWND window)
{
    if (window)
        return window->SetFocus();
    CWnd* old_focus = focus_window;
    tell_focus(old_focus, nullptr, false);
    return old_focus;
}

HWND GetCapture() { return capture_window; }

HWND SetCapture(HWND window)
{
    return window ? window->SetCapture() : capture_window;
}

BOOL IsWindow(HWND window)
{
    return window && live_windows().count(window) != 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return ::IsWindow(window) ? window->SendMessage(message, wparam, lparam) : 0;
}

namespace {

std::function<void()>& post_notifier()
{
    static std::function<void()> notifier;
    return notifier;
}

}  // namespace

namespace {

BOOL post(posted_message posted)
{
    posted.serial = window_serial(posted.window);
    // A window that is already gone gets nothing, as the platform refuses the post.
    if (posted.serial == 0)
        return FALSE;
    std::function<void()> notifier;
    {
        std::lock_guard<std::mutex> lock(posted_mutex);
        posted_queue().push_back(std::move(posted));
        // Read under the lock the setter writes under; called outside it, so a notifier that
        // posts again cannot deadlock.
        notifier = post_notifier();
    }
    if (notifier)
        notifier();
    return TRUE;
}

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    posted_message posted;
    posted.window = window;
    posted.message = message;
    posted.wparam = wparam;
    posted.lparam = lparam;
    return post(std::move(posted));
}

LONG GetWindowLongA(HWND window, int index)
{
    return ::IsWindow(window) ? window->GetWindowLong(index) : 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value)
{
    return ::IsWindow(window) ? window->SetWindowLong(index, value) : 0;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    if (!::IsWindow(window))
        return FALSE;
    window->InvalidateRect(rect, erase);
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    if (!::IsWindow(window))
        return FALSE;
    window->UpdateWindow();
    return TRUE;
}

HWND GetDesktopWindow() { return CWnd::GetDesktopWindow(); }
HWND GetActiveWindow() { return CWnd::GetActiveWindow(); }

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    *point = cursor_position;
    return TRUE;
}

DWORD GetMessagePos()
{
    const MSG* current = CWnd::GetCurrentMessage();
    const POINT point = current ? current->pt : cursor_position;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

HCURSOR LoadCursorA(HINSTANCE /*instance*/, const char* name)
{
    const std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
    if (id == 0 || id > 0xFFFF)
        return nullptr;
    return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = current_cursor;
    current_cursor = cursor;
    if (cursor_target && ::IsWindow(cursor_target) && cursor_target->peer())
        cursor_target->peer()->set_cursor(cursor);
    return previous;
}

HCURSOR GetCursor() { return current_cursor; }

int cursor_id(HCURSOR cursor)
{
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor));
}

namespace platform {

peer_factory set_peer_factory(peer_factory made)
{
    return std::exchange(factory(), std::move(made));
}

std::unique_ptr<window_peer> make_peer(CWnd& window)
{
    return factory() ? factory()(window) : nullptr;
}

void set_cursor_position(POINT screen_point) { cursor_position = screen_point; }
void set_cursor_target(CWnd* window) { cursor_target = window; }

int deliver_posted_messages()
{
    // One pass delivers what was queued when it began: what workers (or the delivered work
    // itself) post meanwhile waits for the next pass, so a steady stream can't hold the UI thread.
    std::size_t queued = 0;
    {
        std::lock_guard<std::mutex> lock(posted_mutex);
        queued = posted_queue().size();
    }
    int delivered = 0;
    for (; queued > 0; --queued) {
        posted_message next;
        {
            std::lock_guard<std::mutex> lock(posted_mutex);
            if (posted_queue().empty())
                break;
            next = posted_queue().front();
            posted_queue().pop_front();
        }
        if (!::IsWindow(next.window) || window_serial(next.window) != next.serial)
            continue;
        if (next.work)
            next.work();
        else
            next.window->SendMessage(next.message, next.wparam, next.lparam);
        ++delivered;
    }
    return delivered;
}

BOOL post_to_window(HWND window, std::function<void()> work)
{
    if (!work)
        return FALSE;
    posted_message posted;
    posted.window = window;
    posted.work = std::move(work);
    return post(std::move(posted));
}

bool control_colours(CWnd& control, COLORREF& text, COLORREF& back)
{
    text = CLR_INVALID;
    back = CLR_INVALID;
    CWnd* parent = control.GetParent();
    if (!::IsWindow(&control) || !parent || !(control.GetStyle() & WS_CHILD))
        return false;
    UINT message = WM_CTLCOLORSTATIC;
    const CString& kind = control.class_name();
    if (kind.CompareNoCase("EDIT") == 0 && !(control.GetStyle() & (ES_READONLY | WS_DISABLED)))
        message = WM_CTLCOLOREDIT;
    else if (kind.CompareNoCase("LISTBOX") == 0)
        message = WM_CTLCOLORLISTBOX;
    CDC dc;
    dc.SetTextColor(CLR_INVALID);
    const auto* brush = reinterpret_cast<CBrush*>(
        parent->SendMessage(message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(&control)));
    text = dc.GetTextColor();
    LOGBRUSH description{};
    if (brush && brush->GetLogBrush(&description) && description.lbStyle == BS_SOLID)
        back = description.lbColor;
    return text != CLR_INVALID || back != CLR_INVALID;
}

bool pre_translate(CWnd& target, UINT message, WPARAM wparam, LPARAM lparam)
{
    MSG translated;
    translated.hwnd = &target;
    translated.message = message;
    translated.wParam = wparam;
    translated.lParam = lparam;
    translated.pt = cursor_position;
    for (CWnd* window = &target; window && ::IsWindow(window); window = window->GetParent()) {
        if (window->PreTranslateMessage(&translated))
            return true;
        if (!(window->GetStyle() & WS_CHILD))
            break;
    }
    return false;
}

void set_post_notifier(std::function<void()> notifier)
{
    std::lock_guard<std::mutex> lock(posted_mutex);
    post_notifier() = std::move(notifier);
}

void focus_moved_by_toolkit(CWnd* new_focus)
{
    if (new_focus != focus_window && (!new_focus || ::IsWindow(new_focus)))
        tell_focus(focus_window, new_focus, false);
}

saved_focus save_focus()
{
    return saved_focus{focus_window, focus_window ? window_serial(focus_window) : 0};
}

void restore_focus(const saved_focus& saved)
{
    CWnd* window = saved.window;
    if (!window || window_serial(window) != saved.serial || !::IsWindow(window) || !window->IsWindowEnabled())
        return;
    // Shown within its top-level window, which takes input again (a modal run shows its
    // window without the style saying so).
    const CWnd* top = window;
    for (; top->GetStyle() & WS_CHILD; top = top->GetParent())
        if (!(top->GetStyle() & WS_VISIBLE) || !top->GetParent())
            return;
    if (!top->IsWindowEnabled())
        return;
    if (focus_window != window)
        window->SetFocus();
    else if (window->peer())
        window->peer()->set_focus();
}

void capture_lost_by_toolkit()
{
    CWnd* captured = capture_window;
    if (!captured)
        return;
    capture_window = nullptr;
    if (::IsWindow(captured))
        captured->SendMessage(WM_CAPTURECHANGED, 0, 0);
}

void set_tip_canceller(std::function<void()> canceller) { tip_canceller() = std::move(canceller); }

}  // namespace platform

