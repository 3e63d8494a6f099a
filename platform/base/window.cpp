// Windows: creation, destruction, subclassing, and the dispatch of messages to handlers.
#include "platform/base/window.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/menu.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window_shared.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace platform::window_shared;

namespace {

struct dispatch_entry {
    MSG message;
    bool from_toolkit = false;
    bool default_wanted = false;
};

std::vector<dispatch_entry>& dispatch_stack()
{
    static std::vector<dispatch_entry> stack;
    return stack;
}

// Keeps the dispatch stack balanced when a handler throws through SendMessage.
class dispatch_scope {
public:
    explicit dispatch_scope(const dispatch_entry& entry) { dispatch_stack().push_back(entry); }
    ~dispatch_scope() { dispatch_stack().pop_back(); }
    dispatch_scope(const dispatch_scope&) = delete;
    dispatch_scope& operator=(const dispatch_scope&) = delete;
};

dispatch_entry entry_for(CWnd* window, UINT message, WPARAM wparam, LPARAM lparam, bool from_toolkit)
{
    dispatch_entry entry;
    entry.message.hwnd = window;
    entry.message.message = message;
    entry.message.wParam = wparam;
    entry.message.lParam = lparam;
    entry.message.pt = cursor_position;
    entry.from_toolkit = from_toolkit;
    return entry;
}

// Mouse and key messages each carry their arguments one way; the tables keep that decoding in
// one place per family.
const std::pair<UINT, void (CWnd::*)(UINT, CPoint)> mouse_handlers[] = {
    {WM_LBUTTONDOWN, &CWnd::OnLButtonDown},
    {WM_LBUTTONUP, &CWnd::OnLButtonUp},
    {WM_LBUTTONDBLCLK, &CWnd::OnLButtonDblClk},
    {WM_RBUTTONDOWN, &CWnd::OnRButtonDown},
    {WM_RBUTTONUP, &CWnd::OnRButtonUp},
    {WM_RBUTTONDBLCLK, &CWnd::OnRButtonDblClk},
    {WM_MBUTTONDOWN, &CWnd::OnMButtonDown},
    {WM_MBUTTONUP, &CWnd::OnMButtonUp},
    {WM_MOUSEMOVE, &CWnd::OnMouseMove},
};
const std::pair<UINT, void (CWnd::*)(UINT, UINT, UINT)> key_handlers[] = {
    {WM_KEYDOWN, &CWnd::OnKeyDown},
    {WM_KEYUP, &CWnd::OnKeyUp},
    {WM_CHAR, &CWnd::OnChar},
    {WM_SYSKEYDOWN, &CWnd::OnSysKeyDown},
    {WM_SYSKEYUP, &CWnd::OnSysKeyUp},
};

}  // namespace

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;
const CWnd CWnd::wndTopMost;
const CWnd CWnd::wndNoTopMost;

CWnd::~CWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CWnd::Create(const char* class_name, const char* window_name, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void* context)
{
    return CreateEx(0, class_name, window_name, style, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU id_or_menu, void* param)
{
    return CreateEx(ex_style, class_name, window_name, style, CRect(x, y, x + width, y + height), parent,
                    static_cast<UINT>(reinterpret_cast<std::uintptr_t>(id_or_menu)), param);
}

BOOL CWnd::CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param)
{
    if (m_hWnd)
        return FALSE;
    if ((style & WS_CHILD) && (!parent || !parent->m_hWnd))
        return FALSE;
    CREATESTRUCT create;
    create.lpCreateParams = param;
    create.hwndParent = parent;
    create.hMenu = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id));
    create.x = rect.left;
    create.y = rect.top;
    create.cx = rect.right - rect.left;
    create.cy = rect.bottom - rect.top;
    create.style = static_cast<LONG>(style);
    create.dwExStyle = ex_style;
    create.lpszName = window_name;
    create.lpszClass = class_name;
    if (!PreCreateWindow(create))
        return FALSE;
    return create_common(create, parent) ? TRUE : FALSE;
}

bool CWnd::create_common(CREATESTRUCT& create, CWnd* parent)
{
    style_ = static_cast<DWORD>(create.style);
    ex_style_ = create.dwExStyle;
    id_ = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(create.hMenu));
    rect_ = CRect(create.x, create.y, create.x + std::max(0, create.cx), create.y + std::max(0, create.cy));
    text_ = create.lpszName;
    class_name_ = (create.lpszClass && reinterpret_cast<std::uintptr_t>(create.lpszClass) > 0xFFFF)
                      ? create.lpszClass
                      : "";
    if (style_ & WS_CHILD) {
        parent_ = parent;
        parent_->children_.push_back(this);
    } else {
        owner_ = parent;
    }
    m_hWnd = this;
    window_born(this);
    peer_ = platform::make_peer(*this);
    if (SendMessage(WM_CREATE, 0, as_lparam(&create)) == -1) {
        DestroyWindow();
        return false;
    }
    if (!m_hWnd)
        return false;
    CRect client;
    GetClientRect(&client);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
    SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rect_.left), static_cast<WORD>(rect_.top)));
    if (style_ & WS_VISIBLE) {
        if (peer_)
            peer_->show(true);
        Invalidate(TRUE);
    }
    return true;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd || destroying_)
        return FALSE;
    destroying_ = true;
    SendMessage(WM_DESTROY);
    const std::vector<CWnd*> children = children_;
    for (CWnd* child : children)
        if (::IsWindow(child))
            child->DestroyWindow();
    if (focus_window == this)
        focus_window = nullptr;
    if (capture_window == this) {
        capture_window = nullptr;
        if (peer_)
            peer_->set_capture(false);
    }
    pass_activation_from(this);
    if (cursor_target == this)
        cursor_target = nullptr;
    if (menu_ && menu_->shown_in() == this)
        menu_->set_shown_in(nullptr);
    menu_ = nullptr;
    peer_.reset();
    detach_from_parent();
    window_gone(this);
    m_hWnd = nullptr;
    update_region_ = rectangle_set();
    destroying_ = false;
    // The last message: a window that deletes itself does so in PostNcDestroy.
    dispatch(WM_NCDESTROY, 0, 0);
    return TRUE;
}

void CWnd::detach_from_parent()
{
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    }
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (m_hWnd || !parent)
        return FALSE;
    CWnd* placeholder = parent->GetDlgItem(static_cast<int>(id));
    if (!placeholder || placeholder == this)
        return FALSE;
    return SubclassWindow(placeholder);
}

BOOL CWnd::SubclassWindow(HWND window)
{
    if (m_hWnd || !window || !::IsWindow(window) || window == this)
        return FALSE;
    CWnd* placeholder = window;
    style_ = placeholder->style_;
    ex_style_ = placeholder->ex_style_;
    id_ = placeholder->id_;
    rect_ = placeholder->rect_;
    text_ = placeholder->text_;
    font_ = placeholder->font_;
    class_name_ = placeholder->class_name_;
    owner_ = placeholder->owner_;
    parent_ = placeholder->parent_;
    if (parent_) {
        auto& siblings = parent_->children_;
        std::replace(siblings.begin(), siblings.end(), placeholder, this);
    }
    // The placeholder's own children stay with the window that takes its place.
    children_ = placeholder->children_;
    for (CWnd* child : children_)
        child->parent_ = this;
    placeholder->children_.clear();
    placeholder->parent_ = nullptr;
    placeholder->peer_.reset();
    window_gone(placeholder);
    placeholder->m_hWnd = nullptr;
    if (focus_window == placeholder)
        focus_window = this;
    if (capture_window == placeholder)
        capture_window = this;
    m_hWnd = this;
    window_born(this);
    peer_ = platform::make_peer(*this);
    if (peer_) {
        peer_->move(rect_);
        peer_->show((style_ & WS_VISIBLE) != 0);
    }
    PreSubclassWindow();
    Invalidate(TRUE);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!m_hWnd && message != WM_NCDESTROY)
        return 0;
    const dispatch_scope scope(entry_for(this, message, wparam, lparam, false));
    return WindowProc(message, wparam, lparam);
}

LRESULT CWnd::send_toolkit_message(UINT message, WPARAM wparam, LPARAM lparam, bool& default_wanted)
{
    default_wanted = false;
    if (!m_hWnd)
        return 0;
    auto& stack = dispatch_stack();
    const dispatch_scope scope(entry_for(this, message, wparam, lparam, true));
    const size_t depth = stack.size();
    const LRESULT result = WindowProc(message, wparam, lparam);
    default_wanted = stack.size() == depth && stack.back().default_wanted;
    return result;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    return PostMessageA(this, message, wparam, lparam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    return dispatch(message, wparam, lparam);
}

BOOL CWnd::PreTranslateMessage(MSG* /*message*/)
{
    return FALSE;
}

const MSG* CWnd::GetCurrentMessage()
{
    const auto& stack = dispatch_stack();
    return stack.empty() ? nullptr : &stack.back().message;
}

LRESULT CWnd::Default()
{
    auto& stack = dispatch_stack();
    if (stack.empty() || stack.back().message.hwnd != this)
        return 0;
    dispatch_entry& entry = stack.back();
    if (entry.from_toolkit && peer_) {
        // The toolkit's own control does the default work once the handler returns.
        LRESULT ignored = 0;
        if (peer_->control_message(WM_NULL, 0, 0, ignored)) {
            entry.default_wanted = true;
            return 0;
        }
    }
    return DefWindowProc(entry.message.message, entry.message.wParam, entry.message.lParam);
}

LRESULT CWnd::dispatch(UINT message, WPARAM wparam, LPARAM lparam)
{
    for (const auto& [handled, handler] : mouse_handlers) {
        if (handled == message) {
            (this->*handler)(static_cast<UINT>(wparam), point_of(lparam));
            return 0;
        }
    }
    for (const auto& [handled, handler] : key_handlers) {
        if (handled == message) {
            (this->*handler)(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                             HIWORD(static_cast<DWORD_PTR>(lparam)));
            return 0;
        }
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate(from_param<CREATESTRUCT>(lparam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(from_param<CDC>(wparam));
    case WM_SETFOCUS:
        OnSetFocus(from_param<CWnd>(wparam));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(from_param<CWnd>(wparam));
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(from_param<CWnd>(lparam));
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wparam), GET_WHEEL_DELTA_WPARAM(wparam), point_of(lparam));
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(from_param<CWnd>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                               HIWORD(static_cast<DWORD_PTR>(lparam)));
    case WM_SETCURSOR:
        return OnSetCursor(from_param<CWnd>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                           HIWORD(static_cast<DWORD_PTR>(lparam)));
    case WM_GETDLGCODE:
        return OnGetDlgCode();
    case WM_HSCROLL:
        OnHScroll(LOWORD(wparam), static_cast<SHORT>(HIWORD(wparam)), from_param<CScrollBar>(lparam));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wparam), static_cast<SHORT>(HIWORD(wparam)), from_param<CScrollBar>(lparam));
        return 0;
    case WM_COMMAND: {
        CWnd* control = from_param<CWnd>(lparam);
        LRESULT result = 0;
        if (control && ::IsWindow(control) && control->GetParent() == this &&
            control->OnChildNotify(message, wparam, lparam, &result))
            return result;
        return OnCommand(wparam, lparam) ? 0 : DefWindowProc(message, wparam, lparam);
    }
    case WM_NOTIFY: {
        const NMHDR* header = from_param<NMHDR>(lparam);
        LRESULT result = 0;
        if (header && header->hwndFrom && ::IsWindow(header->hwndFrom) && header->hwndFrom->GetParent() == this &&
            header->hwndFrom->OnChildNotify(message, wparam, lparam, &result))
            return result;
        if (OnNotify(wparam, lparam, &result))
            return result;
        return DefWindowProc(message, wparam, lparam);
    }
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wparam), static_cast<UINT>(lparam));
        return 0;
    case WM_TIMER:
        OnTimer(wparam);
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu(from_param<CWnd>(wparam), point_of(lparam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
        const UINT type = message == WM_CTLCOLOREDIT ? CTLCOLOR_EDIT
                                                     : message == WM_CTLCOLORSTATIC ? CTLCOLOR_STATIC : CTLCOLOR_LISTBOX;
        return reinterpret_cast<LRESULT>(OnCtlColor(from_param<CDC>(wparam), from_param<CWnd>(lparam), type));
    }
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(from_param<CMenu>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                        HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_HELP:
        return OnHelpInfo(from_param<HELPINFO>(lparam));
    default:
        return DefWindowProc(message, wparam, lparam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (peer_) {
        LRESULT result = 0;
        if (peer_->control_message(message, wparam, lparam, result))
            return result;
    }
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        return 0;
    }
    case WM_ERASEBKGND: {
        const WNDCLASSA* window_class = find_window_class(class_name_);
        CDC* dc = from_param<CDC>(wparam);
        if (!window_class || !window_class->hbrBackground || !dc)
            return 0;
        // The background may be a system colour index + 1; FillRect takes both forms.
        CRect client;
        GetClientRect(&client);
        dc->FillRect(&client, window_class->hbrBackground);
        return 1;
    }
    case WM_SETTEXT:
        store_text(from_param<const char>(lparam));
        return TRUE;
    case WM_GETTEXT:
        return GetWindowText(from_param<char>(lparam), static_cast<int>(wparam));
    case WM_GETTEXTLENGTH:
        return GetWindowTextLength();
    case WM_SETFONT:
        font_ = from_param<CFont>(wparam);
        if (peer_)
            peer_->set_font(font_);
        if (lparam)
            Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        const WNDCLASSA* window_class = find_window_class(class_name_);
        if (window_class && window_class->hCursor && LOWORD(static_cast<DWORD_PTR>(lparam)) == HTCLIENT) {
            platform::set_cursor_target(this);
            SetCursor(window_class->hCursor);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_MOUSEWHEEL:
        // An unhandled wheel goes up to the parent, as the platform does.
        return parent_ ? parent_->SendMessage(message, wparam, lparam) : 0;
    case WM_KEYDOWN:
        if (wparam == VK_F1) {
            HELPINFO info;
            info.iContextType = HELPINFO_WINDOW;
            info.iCtrlId = static_cast<int>(id_);
            info.hItemHandle = this;
            info.MousePos = cursor_position;
            SendMessage(WM_HELP, 0, as_lparam(&info));
        }
        return 0;
    case WM_HELP:
        // Help not taken by a window goes to its parent.
        return parent_ ? parent_->SendMessage(message, wparam, lparam) : 0;
    case WM_RBUTTONUP: {
        // A right click that nobody took asks for a context menu, at the screen point.
        CPoint screen = point_of(lparam);
        ClientToScreen(&screen);
        SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(this),
                    MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYDOWN: {
        // The menu key, or Shift+F10: a context menu at the window's top-left corner (the
        // point is given, not -1, -1, so every handler can show its menu there).
        const bool menu_key = message == WM_KEYUP && wparam == VK_APPS;
        const bool shift_f10 = message == WM_SYSKEYDOWN && wparam == VK_F10 && GetKeyState(VK_SHIFT) < 0;
        if (menu_key || shift_f10) {
            const CPoint screen = client_origin_on_screen();
            SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(this),
                        MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
        }
        return 0;
    }
    case WM_CONTEXTMENU:
        // A child's unanswered request goes up, so the dialog's menu shows over its controls.
        return (parent_ && (style_ & WS_CHILD)) ? parent_->SendMessage(message, wparam, lparam) : 0;
    case WM_SETICON: {
        HICON& slot = icons_[wparam ? 1 : 0];
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lparam);
        if (auto* shown = dynamic_cast<icon_peer*>(peer_.get()))
            shown->show_icons(icons_[1], icons_[0]);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(icons_[wparam ? 1 : 0]);
    case WM_PRINT: {
        CDC* dc = from_param<CDC>(wparam);
        if (dc)
            SendMessage(WM_ERASEBKGND, wparam);
        return 0;
    }
    default:
        return 0;
    }
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& /*create*/)
{
    return TRUE;
}

int CWnd::OnCreate(LPCREATESTRUCT /*create*/)
{
    return static_cast<int>(Default());
}

void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { PostNcDestroy(); }
void CWnd::PostNcDestroy() {}
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

BOOL CWnd::SetMenu(CMenu* menu)
{
    if (!m_hWnd)
        return FALSE;
    if (menu_ && menu_ != menu && menu_->shown_in() == this)
        menu_->set_shown_in(nullptr);
    menu_ = menu;
    if (menu_)
        menu_->set_shown_in(this);
    DrawMenuBar();
    return TRUE;
}

HICON CWnd::SetIcon(HICON icon, BOOL big)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? 1 : 0, reinterpret_cast<LPARAM>(icon)));
}

void CWnd::DrawMenuBar()
{
    if (auto* bar = dynamic_cast<menu_bar_peer*>(peer_.get()))
        bar->show_menu(menu_);
}
BOOL CWnd::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }

