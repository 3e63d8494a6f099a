#include "platform/wx/wx_input.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/wx/wx_peers.h"

#include <wx/anybutton.h>

#include <map>
#include <set>

namespace platform {

namespace {

std::map<wxWindow*, CWnd*>& widgets()
{
    static std::map<wxWindow*, CWnd*> registered;
    return registered;
}

// The widgets whose key presses reach their window (bind_input).
std::set<wxWindow*>& hearing_widgets()
{
    static std::set<wxWindow*> hearing;
    return hearing;
}

std::set<int>& keys_down()
{
    static std::set<int> down;
    return down;
}

bool is_extended(int virtual_key)
{
    switch (virtual_key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
        return true;
    default:
        return false;
    }
}

void record_modifiers(bool shift, bool control, bool alt)
{
    set_key_down(VK_SHIFT, shift);
    set_key_down(VK_CONTROL, control);
    set_key_down(VK_MENU, alt);
}

void record_buttons(const wxMouseState& state)
{
    set_key_down(VK_LBUTTON, state.LeftIsDown());
    set_key_down(VK_RBUTTON, state.RightIsDown());
    set_key_down(VK_MBUTTON, state.MiddleIsDown());
    record_modifiers(state.ShiftDown(), state.ControlDown(), state.AltDown());
}

UINT message_of(wxEventType type)
{
    if (type == wxEVT_LEFT_DOWN) return WM_LBUTTONDOWN;
    if (type == wxEVT_LEFT_UP) return WM_LBUTTONUP;
    if (type == wxEVT_LEFT_DCLICK) return WM_LBUTTONDBLCLK;
    if (type == wxEVT_RIGHT_DOWN) return WM_RBUTTONDOWN;
    if (type == wxEVT_RIGHT_UP) return WM_RBUTTONUP;
    if (type == wxEVT_RIGHT_DCLICK) return WM_RBUTTONDBLCLK;
    if (type == wxEVT_MIDDLE_DOWN) return WM_MBUTTONDOWN;
    if (type == wxEVT_MIDDLE_UP) return WM_MBUTTONUP;
    if (type == wxEVT_MOTION) return WM_MOUSEMOVE;
    if (type == wxEVT_MOUSEWHEEL) return WM_MOUSEWHEEL;
    return 0;
}

// The tip of a window with tips is the one for the point, or none where it has no tool.
void show_tip_at(CWnd& window, CPoint client_point)
{
    if (IsWindow(&window) && window.tool_tips_enabled() && window.peer())
        window.peer()->set_tip(window.tool_tip_text_at(client_point));
}

}  // namespace

void register_widget(wxWindow* widget, CWnd* window)
{
    widgets()[widget] = window;
}

void unregister_widget(wxWindow* widget)
{
    widgets().erase(widget);
    hearing_widgets().erase(widget);
}

CWnd* window_of(wxWindow* widget)
{
    auto found = widgets().find(widget);
    return found == widgets().end() ? nullptr : found->second;
}

int virtual_key_of(int code)
{
    if (code >= 'a' && code <= 'z')
        return code - 'a' + 'A';
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return code;
    if (code >= WXK_F1 && code <= WXK_F24)
        return VK_F1 + (code - WXK_F1);
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9)
        return VK_NUMPAD0 + (code - WXK_NUMPAD0);
    switch (code) {
    case WXK_BACK: return VK_BACK;
    case WXK_TAB: return VK_TAB;
    case WXK_RETURN: case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_SPACE: case WXK_NUMPAD_SPACE: return VK_SPACE;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: return VK_DELETE;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: return VK_INSERT;
    case WXK_LEFT: case WXK_NUMPAD_LEFT: return VK_LEFT;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return VK_RIGHT;
    case WXK_UP: case WXK_NUMPAD_UP: return VK_UP;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: return VK_DOWN;
    case WXK_HOME: case WXK_NUMPAD_HOME: return VK_HOME;
    case WXK_END: case WXK_NUMPAD_END: return VK_END;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: return VK_PRIOR;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: return VK_NEXT;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    case WXK_PAUSE: return VK_PAUSE;
    case WXK_CAPITAL: return VK_CAPITAL;
    case WXK_NUMLOCK: return VK_NUMLOCK;
    case WXK_SCROLL: return VK_SCROLL;
    case WXK_MULTIPLY: case WXK_NUMPAD_MULTIPLY: return VK_MULTIPLY;
    case WXK_ADD: case WXK_NUMPAD_ADD: return VK_ADD;
    case WXK_SUBTRACT: case WXK_NUMPAD_SUBTRACT: return VK_SUBTRACT;
    case WXK_DECIMAL: case WXK_NUMPAD_DECIMAL: return VK_DECIMAL;
    case WXK_DIVIDE: case WXK_NUMPAD_DIVIDE: return VK_DIVIDE;
    case WXK_WINDOWS_MENU: return VK_APPS;
    default: return 0;
    }
}

UINT mouse_flags(const wxMouseEvent& event, UINT message)
{
    UINT flags = 0;
    if (event.LeftIsDown()) flags |= MK_LBUTTON;
    if (event.RightIsDown()) flags |= MK_RBUTTON;
    if (event.MiddleIsDown()) flags |= MK_MBUTTON;
    if (event.ShiftDown()) flags |= MK_SHIFT;
    if (event.ControlDown()) flags |= MK_CONTROL;
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: flags |= MK_LBUTTON; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: flags |= MK_RBUTTON; break;
    case WM_MBUTTONDOWN: flags |= MK_MBUTTON; break;
    case WM_LBUTTONUP: flags &= ~MK_LBUTTON; break;
    case WM_RBUTTONUP: flags &= ~MK_RBUTTON; break;
    case WM_MBUTTONUP: flags &= ~MK_MBUTTON; break;
    default: break;
    }
    return flags;
}

bool deliver_mouse(CWnd& window, UINT message, UINT flags, CPoint client_point, short wheel_delta)
{
    CPoint screen = client_point;
    window.ClientToScreen(&screen);
    set_cursor_position(screen);
    set_key_down(VK_LBUTTON, (flags & MK_LBUTTON) != 0);
    set_key_down(VK_RBUTTON, (flags & MK_RBUTTON) != 0);
    set_key_down(VK_MBUTTON, (flags & MK_MBUTTON) != 0);
    set_key_down(VK_SHIFT, (flags & MK_SHIFT) != 0);
    set_key_down(VK_CONTROL, (flags & MK_CONTROL) != 0);
    bool default_wanted = false;
    if (message == WM_MOUSEWHEEL) {
        window.send_toolkit_message(message, MAKEWPARAM(static_cast<WORD>(flags), static_cast<WORD>(wheel_delta)),
                                    MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)),
                                    default_wanted);
        return default_wanted;
    }
    CWnd* target = &window;
    CPoint point = client_point;
    CWnd* captured = CWnd::GetCapture();
    if (captured && captured != &window && IsWindow(captured)) {
        target = captured;
        point = screen;
        target->ScreenToClient(&point);
    }
    const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                       message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    if (!captured) {
        if (press) {
            const LRESULT activation = target->SendMessage(
                WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(target->GetTopLevelParent()), MAKELPARAM(HTCLIENT, message));
            if (activation == MA_ACTIVATEANDEAT || activation == 4)
                return false;
        }
        set_cursor_target(target);
        bool ignored = false;
        if (!target->send_toolkit_message(WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, message),
                                          ignored))
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    if (!IsWindow(target))
        return false;
    const LPARAM where = MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
    if (message != WM_MOUSEMOVE && pre_translate(*target, message, flags, where))
        return false;
    if (!IsWindow(target))
        return false;
    target->send_toolkit_message(message, flags, where, default_wanted);
    if (message == WM_MOUSEMOVE)
        show_tip_at(*target, point);
    return default_wanted;
}

bool deliver_key(CWnd& window, UINT message, int virtual_key, bool repeat)
{
    const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    set_key_down(virtual_key, !up);
    LPARAM flags = 1;
    if (is_extended(virtual_key))
        flags |= 1 << 24;
    if (repeat || up)
        flags |= 1 << 30;
    if (up)
        flags |= static_cast<LPARAM>(1u << 31);
    const LPARAM packed = static_cast<LPARAM>(static_cast<DWORD>(flags));
    // The top-level window may take a key meant for a control (F5 anywhere, Enter in a field).
    if (pre_translate(window, message, static_cast<WPARAM>(virtual_key), packed) || !IsWindow(&window))
        return false;
    bool default_wanted = false;
    window.send_toolkit_message(message, static_cast<WPARAM>(virtual_key), packed, default_wanted);
    return default_wanted;
}

bool pre_translate_unheard_key(wxWindow* focused, CWnd& top, const wxKeyEvent& event)
{
    if (focused && hearing_widgets().count(focused))
        return false;
    const int key = virtual_key_of(event.GetKeyCode());
    // A toolkit button inside a composite control presses itself.
    if (!key || (key == VK_RETURN && dynamic_cast<wxAnyButton*>(focused)))
        return false;
    CWnd* window = nullptr;
    for (wxWindow* widget = focused; widget && !window; widget = widget->GetParent()) {
        window = window_of(widget);
        if (!window && widget->IsTopLevel()) {
            // A drop-down's own window (a property's open list) keeps its keys.
            wxWindow* own = widget_of(top);
            if (own && wxGetTopLevelParent(own) != widget)
                return false;
            break;
        }
    }
    if (!window || !IsWindow(window))
        window = &top;
    if (!IsWindow(window))
        return false;
    record_modifiers(event.ShiftDown(), event.ControlDown(), event.AltDown());
    const UINT message = event.AltDown() && key != VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
    return pre_translate(*window, message, static_cast<WPARAM>(key), is_extended(key) ? (1 | (1 << 24)) : 1);
}

bool deliver_char(CWnd& window, UINT character)
{
    if (pre_translate(window, WM_CHAR, character, 1) || !IsWindow(&window))
        return false;
    bool default_wanted = false;
    window.send_toolkit_message(WM_CHAR, character, 1, default_wanted);
    return default_wanted;
}

void bind_input(wxWindow* widget, CWnd& window, bool native_control)
{
    CWnd* target = &window;
    hearing_widgets().insert(widget);
    auto on_mouse = [target, widget, native_control](wxMouseEvent& event) {
        const UINT message = message_of(event.GetEventType());
        if (!message || !IsWindow(target) || window_of(widget) != target) {
            event.Skip();
            return;
        }
        record_buttons(event);
        const int frame = native_control ? 0 : target->frame_width();
        const CPoint point(event.GetX() - frame, event.GetY() - frame);
        short delta = 0;
        if (message == WM_MOUSEWHEEL) {
            if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
                event.Skip();
                return;
            }
            delta = static_cast<short>(event.GetWheelRotation() * WHEEL_DELTA / std::max(1, event.GetWheelDelta()));
        }
        const bool default_wanted = deliver_mouse(*target, message, mouse_flags(event, message), point, delta);
        if (native_control && default_wanted)
            event.Skip();
    };
    for (const wxEventTypeTag<wxMouseEvent>& type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP,
                             wxEVT_RIGHT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_MOTION, wxEVT_MOUSEWHEEL})
        widget->Bind(type, on_mouse);
    // The toolkit shows a window's tip again when the pointer comes back without a move, as when
    // a tip it had landed on goes away: the text is then the one for where it came back, and
    // none while it is elsewhere.
    auto on_crossing = [target, widget, native_control](wxMouseEvent& event) {
        event.Skip();
        if (!IsWindow(target) || window_of(widget) != target || !target->tool_tips_enabled() || !target->peer())
            return;
        if (event.GetEventType() == wxEVT_LEAVE_WINDOW) {
            target->peer()->set_tip("");
            return;
        }
        const int frame = native_control ? 0 : target->frame_width();
        const CPoint point(event.GetX() - frame, event.GetY() - frame);
        CPoint screen = point;
        target->ClientToScreen(&screen);
        set_cursor_position(screen);
        show_tip_at(*target, point);
    };
    widget->Bind(wxEVT_ENTER_WINDOW, on_crossing);
    widget->Bind(wxEVT_LEAVE_WINDOW, on_crossing);

    widget->Bind(wxEVT_KEY_DOWN, [target, widget, native_control](wxKeyEvent& event) {
        const int key = virtual_key_of(event.GetKeyCode());
        if (!key || !IsWindow(target) || window_of(widget) != target) {
            event.Skip();
            return;
        }
        record_modifiers(event.ShiftDown(), event.ControlDown(), event.AltDown());
        const bool repeat = !keys_down().insert(key).second;
        const UINT message = event.AltDown() && key != VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const bool default_wanted = deliver_key(*target, message, key, repeat);
        // Characters come only from skipped key presses; an owner-drawn window always gets
        // them, as translated messages do.
        if (!native_control || default_wanted)
            event.Skip();
    });
    widget->Bind(wxEVT_KEY_UP, [target, widget, native_control](wxKeyEvent& event) {
        const int key = virtual_key_of(event.GetKeyCode());
        keys_down().erase(key);
        if (!key || !IsWindow(target) || window_of(widget) != target) {
            event.Skip();
            return;
        }
        record_modifiers(event.ShiftDown(), event.ControlDown(), event.AltDown());
        const bool default_wanted = deliver_key(*target, event.AltDown() ? WM_SYSKEYUP : WM_KEYUP, key, false);
        if (native_control && default_wanted)
            event.Skip();
    });
    widget->Bind(wxEVT_CHAR, [target, widget, native_control](wxKeyEvent& event) {
        // A key with Alt is a system key, never a character: the toolkit gives it to the menu
        // bar, whose letters an owner-drawn window would otherwise take as typed text.
        if (!IsWindow(target) || window_of(widget) != target || event.AltDown()) {
            event.Skip();
            return;
        }
        UINT character = static_cast<UINT>(event.GetUnicodeKey());
        if (character == WXK_NONE) {
            const int code = event.GetKeyCode();
            if (code == WXK_BACK || code == WXK_TAB || code == WXK_RETURN || code == WXK_ESCAPE)
                character = static_cast<UINT>(code);
            else {
                event.Skip();
                return;
            }
        }
        const bool default_wanted = deliver_char(*target, character);
        if (native_control && default_wanted)
            event.Skip();
    });
    widget->Bind(wxEVT_SET_FOCUS, [target, widget](wxFocusEvent& event) {
        event.Skip();
        if (IsWindow(target) && window_of(widget) == target)
            focus_moved_by_toolkit(target);
    });
    widget->Bind(wxEVT_KILL_FOCUS, [target, widget](wxFocusEvent& event) {
        event.Skip();
        if (!IsWindow(target) || window_of(widget) != target || CWnd::GetFocus() != target)
            return;
        if (!window_of(event.GetWindow()))
            focus_moved_by_toolkit(nullptr);
    });
    widget->Bind(wxEVT_MOUSE_CAPTURE_LOST, [target](wxMouseCaptureLostEvent&) {
        if (CWnd::GetCapture() == target)
            capture_lost_by_toolkit();
    });
}

}  // namespace platform
