#include "platform/base/window.h"

#include "platform/base/dc.h"
#include "platform/base/gdi_objects.h"
#include "platform/base/modal.h"
#include "platform/base/system_services.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <deque>
#include <map>
#include <mutex>
#include <unordered_set>

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

std::unordered_set<const CWnd*>& live_windows()
{
    static std::unordered_set<const CWnd*> windows;
    return windows;
}

CWnd* focus_window = nullptr;
CWnd* capture_window = nullptr;
CWnd* active_window = nullptr;
POINT cursor_position{};
HCURSOR current_cursor = nullptr;
CWnd* cursor_target = nullptr;

platform::peer_factory& factory()
{
    static platform::peer_factory made;
    return made;
}

std::function<void()>& tip_canceller()
{
    static std::function<void()> canceller;
    return canceller;
}

struct posted_message {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

std::mutex posted_mutex;
std::deque<posted_message>& posted_queue()
{
    static std::deque<posted_message> queue;
    return queue;
}

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

CPoint point_of(LPARAM lparam)
{
    return CPoint(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
}

void tell_focus(CWnd* old_focus, CWnd* new_focus, bool move_toolkit_focus)
{
    focus_window = new_focus;
    if (old_focus && ::IsWindow(old_focus))
        old_focus->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(new_focus));
    if (new_focus && focus_window == new_focus && ::IsWindow(new_focus)) {
        if (move_toolkit_focus && new_focus->peer())
            new_focus->peer()->set_focus();
        new_focus->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old_focus));
    }
}

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
    live_windows().insert(this);
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
    if (active_window == this)
        active_window = nullptr;
    if (cursor_target == this)
        cursor_target = nullptr;
    peer_.reset();
    detach_from_parent();
    live_windows().erase(this);
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
    live_windows().erase(placeholder);
    placeholder->m_hWnd = nullptr;
    if (focus_window == placeholder)
        focus_window = this;
    if (capture_window == placeholder)
        capture_window = this;
    m_hWnd = this;
    live_windows().insert(this);
    peer_ = platform::make_peer(*this);
    if (peer_) {
        peer_->move(rect_);
        peer_->show((style_ & WS_VISIBLE) != 0);
    }
    Invalidate(TRUE);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!m_hWnd && message != WM_NCDESTROY)
        return 0;
    dispatch_entry entry;
    entry.message.hwnd = this;
    entry.message.message = message;
    entry.message.wParam = wparam;
    entry.message.lParam = lparam;
    entry.message.pt = cursor_position;
    dispatch_stack().push_back(entry);
    const LRESULT result = WindowProc(message, wparam, lparam);
    dispatch_stack().pop_back();
    return result;
}

LRESULT CWnd::send_toolkit_message(UINT message, WPARAM wparam, LPARAM lparam, bool& default_wanted)
{
    default_wanted = false;
    if (!m_hWnd)
        return 0;
    dispatch_entry entry;
    entry.message.hwnd = this;
    entry.message.message = message;
    entry.message.wParam = wparam;
    entry.message.lParam = lparam;
    entry.message.pt = cursor_position;
    entry.from_toolkit = true;
    auto& stack = dispatch_stack();
    stack.push_back(entry);
    const size_t depth = stack.size();
    const LRESULT result = WindowProc(message, wparam, lparam);
    default_wanted = stack.size() == depth && stack.back().default_wanted;
    stack.pop_back();
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
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_MBUTTONDOWN:
        OnMButtonDown(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_MBUTTONUP:
        OnMButtonUp(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wparam), point_of(lparam));
        return 0;
    case WM_MOUSEWHEEL:
        return OnMouseWheel(GET_KEYSTATE_WPARAM(wparam), GET_WHEEL_DELTA_WPARAM(wparam), point_of(lparam));
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(from_param<CWnd>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                               HIWORD(static_cast<DWORD_PTR>(lparam)));
    case WM_SETCURSOR:
        return OnSetCursor(from_param<CWnd>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)),
                           HIWORD(static_cast<DWORD_PTR>(lparam)));
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_SYSKEYDOWN:
        OnSysKeyDown(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
    case WM_SYSKEYUP:
        OnSysKeyUp(static_cast<UINT>(wparam), LOWORD(static_cast<DWORD_PTR>(lparam)), HIWORD(static_cast<DWORD_PTR>(lparam)));
        return 0;
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
        // A class background may be a system colour index + 1 instead of a brush.
        HBRUSH background = window_class->hbrBackground;
        const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(background);
        if (value <= 32)
            background = GetSysColorBrush(static_cast<int>(value) - 1);
        CRect client;
        GetClientRect(&client);
        dc->FillRect(&client, background);
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
        if (wparam == 0x70) {
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

CWnd* CWnd::SetParent(CWnd* new_parent)
{
    CWnd* old_parent = parent_;
    if (new_parent == parent_ || new_parent == this)
        return old_parent;
    detach_from_parent();
    if (new_parent) {
        parent_ = new_parent;
        new_parent->children_.push_back(this);
    }
    if (peer_)
        peer_->reparent(new_parent);
    return old_parent;
}

CWnd* CWnd::GetTopLevelParent() const
{
    const CWnd* window = this;
    while (window->parent_)
        window = window->parent_;
    return const_cast<CWnd*>(window);
}

BOOL CWnd::IsChild(const CWnd* window) const
{
    if (!window)
        return FALSE;
    for (const CWnd* ancestor = window->parent_; ancestor; ancestor = ancestor->parent_)
        if (ancestor == this)
            return TRUE;
    return FALSE;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    for (CWnd* child : children_)
        if (static_cast<int>(child->id_) == id)
            return child;
    return nullptr;
}

int CWnd::SetDlgCtrlID(int id)
{
    const int old_id = static_cast<int>(id_);
    id_ = static_cast<UINT>(id);
    return old_id;
}

CWnd* CWnd::GetWindow(UINT relation) const
{
    if (relation == GW_CHILD)
        return children_.empty() ? nullptr : children_.front();
    if (relation == GW_OWNER)
        return owner_;
    if (!parent_)
        return nullptr;
    const auto& siblings = parent_->children_;
    const auto position = std::find(siblings.begin(), siblings.end(), this);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front();
    case GW_HWNDLAST:
        return siblings.back();
    case GW_HWNDNEXT:
        return position + 1 < siblings.end() ? *(position + 1) : nullptr;
    case GW_HWNDPREV:
        return position > siblings.begin() ? *(position - 1) : nullptr;
    default:
        return nullptr;
    }
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT /*flags*/)
{
    const DWORD old_style = style_;
    SetWindowLong(GWL_STYLE, static_cast<LONG>((style_ & ~remove) | add));
    return old_style != style_;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT /*flags*/)
{
    const DWORD old_style = ex_style_;
    SetWindowLong(GWL_EXSTYLE, static_cast<LONG>((ex_style_ & ~remove) | add));
    return old_style != ex_style_;
}

LONG CWnd::GetWindowLong(int index) const
{
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(style_);
    case GWL_EXSTYLE:
        return static_cast<LONG>(ex_style_);
    case GWL_ID:
        return static_cast<LONG>(id_);
    default:
        return 0;
    }
}

LONG CWnd::SetWindowLong(int index, LONG value)
{
    const LONG old_value = GetWindowLong(index);
    switch (index) {
    case GWL_STYLE: {
        const DWORD changed = style_ ^ static_cast<DWORD>(value);
        style_ = static_cast<DWORD>(value);
        if (peer_ && (changed & WS_VISIBLE))
            peer_->show((style_ & WS_VISIBLE) != 0);
        if (peer_ && (changed & WS_DISABLED))
            peer_->enable((style_ & WS_DISABLED) == 0);
        break;
    }
    case GWL_EXSTYLE:
        ex_style_ = static_cast<DWORD>(value);
        break;
    case GWL_ID:
        id_ = static_cast<UINT>(value);
        break;
    default:
        break;
    }
    return old_value;
}

int CWnd::frame_width() const
{
    int width = 0;
    if (style_ & WS_BORDER)
        width += 1;
    if (ex_style_ & WS_EX_CLIENTEDGE)
        width += 2;
    return width;
}

CPoint CWnd::client_origin_on_screen() const
{
    CPoint origin(rect_.left + frame_width(), rect_.top + frame_width());
    if (parent_)
        origin += CSize(parent_->client_origin_on_screen().x, parent_->client_origin_on_screen().y);
    return origin;
}

void CWnd::GetWindowRect(RECT* rect) const
{
    if (!rect)
        return;
    CPoint origin = rect_.TopLeft();
    if (parent_) {
        const CPoint parent_origin = parent_->client_origin_on_screen();
        origin.Offset(parent_origin.x, parent_origin.y);
    }
    *rect = CRect(origin, rect_.Size());
}

void CWnd::GetClientRect(RECT* rect) const
{
    if (!rect)
        return;
    const int frame = frame_width();
    *rect = CRect(0, 0, std::max(0, rect_.Width() - 2 * frame), std::max(0, rect_.Height() - 2 * frame));
}

void CWnd::apply_rect(const CRect& rect, bool repaint, bool notify)
{
    const CRect old_rect = rect_;
    rect_ = rect;
    rect_.right = std::max(rect_.left, rect_.right);
    rect_.bottom = std::max(rect_.top, rect_.bottom);
    if (peer_)
        peer_->move(rect_);
    if (notify && old_rect.Size() != rect_.Size()) {
        CRect client;
        GetClientRect(&client);
        SendMessage(WM_SIZE, SIZE_RESTORED,
                    MAKELPARAM(static_cast<WORD>(client.Width()), static_cast<WORD>(client.Height())));
    }
    if (notify && old_rect.TopLeft() != rect_.TopLeft())
        SendMessage(WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rect_.left), static_cast<WORD>(rect_.top)));
    if (repaint && m_hWnd)
        Invalidate(TRUE);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    apply_rect(CRect(x, y, x + width, y + height), repaint != 0, m_hWnd != nullptr);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insert_after, int x, int y, int width, int height, UINT flags)
{
    if (!m_hWnd)
        return FALSE;
    if (!(flags & SWP_NOZORDER) && parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (insert_after == &wndBottom)
            siblings.push_back(this);
        else if (!insert_after || insert_after == &wndTop || insert_after == &wndTopMost ||
                 insert_after == &wndNoTopMost)
            siblings.insert(siblings.begin(), this);
        else {
            auto position = std::find(siblings.begin(), siblings.end(), insert_after);
            siblings.insert(position == siblings.end() ? siblings.end() : position + 1, this);
        }
    }
    if (!(flags & SWP_NOZORDER)) {
        if (insert_after == &wndTopMost)
            ex_style_ |= WS_EX_TOPMOST;
        else if (insert_after == &wndNoTopMost)
            ex_style_ &= ~WS_EX_TOPMOST;
        if (peer_)
            peer_->raise();
    }
    CRect target = rect_;
    if (!(flags & SWP_NOMOVE))
        target.MoveToXY(x, y);
    if (!(flags & SWP_NOSIZE)) {
        target.right = target.left + width;
        target.bottom = target.top + height;
    }
    if (target != rect_)
        apply_rect(target, !(flags & SWP_NOREDRAW), true);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::ClientToScreen(POINT* point) const
{
    if (!point)
        return;
    const CPoint origin = client_origin_on_screen();
    point->x += origin.x;
    point->y += origin.y;
}

void CWnd::ClientToScreen(RECT* rect) const
{
    if (!rect)
        return;
    const CPoint origin = client_origin_on_screen();
    OffsetRect(rect, origin.x, origin.y);
}

void CWnd::ScreenToClient(POINT* point) const
{
    if (!point)
        return;
    const CPoint origin = client_origin_on_screen();
    point->x -= origin.x;
    point->y -= origin.y;
}

void CWnd::ScreenToClient(RECT* rect) const
{
    if (!rect)
        return;
    const CPoint origin = client_origin_on_screen();
    OffsetRect(rect, -origin.x, -origin.y);
}

BOOL CWnd::ShowWindow(int command)
{
    const BOOL was_visible = (style_ & WS_VISIBLE) != 0;
    const bool show = command != SW_HIDE;
    if (show == (was_visible != 0))
        return was_visible;
    if (show)
        style_ |= WS_VISIBLE;
    else
        style_ &= ~WS_VISIBLE;
    SendMessage(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (peer_)
        peer_->show(show);
    if (show) {
        Invalidate(TRUE);
        if (command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !(style_ & WS_CHILD))
            active_window = this;
    } else if (focus_window && (focus_window == this || IsChild(focus_window))) {
        tell_focus(focus_window, nullptr, false);
    }
    return was_visible;
}

BOOL CWnd::IsWindowVisible() const
{
    if (!m_hWnd)
        return FALSE;
    for (const CWnd* window = this; window; window = window->parent_)
        if (!(window->style_ & WS_VISIBLE))
            return FALSE;
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    const BOOL was_disabled = (style_ & WS_DISABLED) != 0;
    if ((enable != 0) == !was_disabled)
        return was_disabled;
    if (enable)
        style_ &= ~WS_DISABLED;
    else
        style_ |= WS_DISABLED;
    if (peer_)
        peer_->enable(enable != 0);
    if (!enable && focus_window == this)
        tell_focus(this, nullptr, false);
    SendMessage(WM_ENABLE, enable ? TRUE : FALSE, 0);
    return was_disabled;
}

void CWnd::SetWindowText(const char* text)
{
    if (m_hWnd)
        SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    else
        store_text(text);
}

void CWnd::store_text(const char* text)
{
    text_ = text;
    if (peer_)
        peer_->set_text(text_);
}

int CWnd::GetWindowText(char* buffer, int size) const
{
    CString text;
    GetWindowText(text);
    lstrcpynA(buffer, text, size);
    return buffer && size > 0 ? lstrlenA(buffer) : 0;
}

void CWnd::GetWindowText(CString& text) const
{
    LRESULT ignored = 0;
    if (peer_ && peer_->control_message(WM_GETTEXTLENGTH, 0, 0, ignored)) {
        CString native;
        char* buffer = native.GetBuffer(static_cast<int>(ignored) + 1);
        peer_->control_message(WM_GETTEXT, static_cast<WPARAM>(ignored + 1), reinterpret_cast<LPARAM>(buffer), ignored);
        native.ReleaseBuffer();
        text = native;
        return;
    }
    text = text_;
}

int CWnd::GetWindowTextLength() const
{
    CString text;
    GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    if (!m_hWnd)
        font_ = font;
}

CFont* CWnd::GetFont() const
{
    return m_hWnd ? reinterpret_cast<CFont*>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT)) : font_;
}

void CWnd::add_to_update(const RECT& rect, bool erase)
{
    CRect client;
    GetClientRect(&client);
    CRect area;
    if (!area.IntersectRect(&rect, &client))
        return;
    const bool was_empty = update_region_.empty();
    update_region_.add(area);
    erase_pending_ = erase_pending_ || erase;
    if (was_empty && peer_)
        peer_->invalidate();
}

void CWnd::Invalidate(BOOL erase)
{
    InvalidateRect(nullptr, erase);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase)
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    add_to_update(rect ? *rect : client, erase != 0);
}

void CWnd::InvalidateRgn(CRgn* region, BOOL erase)
{
    if (!region) {
        Invalidate(erase);
        return;
    }
    for (const RECT& rect : region->area().rectangles())
        add_to_update(rect, erase != 0);
}

void CWnd::ValidateRect(const RECT* rect)
{
    if (!rect) {
        update_region_ = rectangle_set();
        erase_pending_ = false;
        return;
    }
    update_region_.subtract(*rect);
    if (update_region_.empty())
        erase_pending_ = false;
}

void CWnd::ValidateRgn(CRgn* region)
{
    if (!region) {
        ValidateRect(nullptr);
        return;
    }
    for (const RECT& rect : region->area().rectangles())
        ValidateRect(&rect);
}

BOOL CWnd::GetUpdateRect(RECT* rect, BOOL erase) const
{
    const RECT box = update_region_.bounding_box();
    if (rect)
        *rect = box;
    if (erase && erase_pending_ && !update_region_.empty()) {
        CWnd* self = const_cast<CWnd*>(this);
        CDC* dc = self->GetDC();
        self->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
        self->ReleaseDC(dc);
        self->erase_pending_ = false;
    }
    return !update_region_.empty();
}

int CWnd::GetUpdateRgn(CRgn* region, BOOL /*erase*/) const
{
    if (!region)
        return ERROR;
    region->set_area(update_region_);
    return update_region_.kind();
}

void CWnd::UpdateWindow()
{
    if (m_hWnd && !update_region_.empty())
        SendMessage(WM_PAINT);
}

BOOL CWnd::RedrawWindow(const RECT* update, CRgn* region, UINT flags)
{
    if (flags & RDW_INVALIDATE) {
        if (region)
            InvalidateRgn(region, (flags & RDW_ERASE) != 0);
        else
            InvalidateRect(update, (flags & RDW_ERASE) != 0);
    }
    if (flags & RDW_VALIDATE)
        ValidateRect(update);
    if (flags & RDW_ALLCHILDREN)
        for (CWnd* child : std::vector<CWnd*>(children_))
            child->RedrawWindow(nullptr, nullptr, flags & ~RDW_UPDATENOW);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateWindow();
    return TRUE;
}

rectangle_set CWnd::begin_paint(bool& erase)
{
    rectangle_set painted = update_region_;
    erase = erase_pending_;
    update_region_ = rectangle_set();
    erase_pending_ = false;
    return painted;
}

void CWnd::ScrollWindow(int dx, int dy, const RECT* rect, const RECT* clip)
{
    if (!m_hWnd || (dx == 0 && dy == 0))
        return;
    CRect client;
    GetClientRect(&client);
    CRect area = rect ? CRect(*rect) : client;
    if (clip)
        area &= *clip;
    area &= client;
    if (area.IsRectEmpty())
        return;
    if (peer_)
        peer_->scroll_pixels(area, dx, dy);
    // What was waiting to be painted moves with the pixels.
    rectangle_set moved;
    rectangle_set kept;
    for (const RECT& pending : update_region_.rectangles()) {
        CRect inside;
        if (inside.IntersectRect(&pending, &area)) {
            inside.OffsetRect(dx, dy);
            inside &= area;
            moved.add(inside);
        }
        rectangle_set outside(pending);
        outside.subtract(area);
        for (const RECT& piece : outside.rectangles())
            kept.add(piece);
    }
    update_region_ = rectangle_set::combine(kept, moved, RGN_OR);
    rectangle_set uncovered(area);
    CRect shifted = area;
    shifted.OffsetRect(dx, dy);
    uncovered.subtract(shifted);
    for (const RECT& piece : uncovered.rectangles())
        add_to_update(piece, true);
    if (!rect)
        for (CWnd* child : children_)
            child->apply_rect(CRect(child->rect_.left + dx, child->rect_.top + dy, child->rect_.right + dx,
                                    child->rect_.bottom + dy),
                              false, true);
    if (peer_)
        peer_->present();
}

std::unique_ptr<dc_surface> CWnd::client_surface()
{
    return peer_ ? peer_->client_surface() : nullptr;
}

void CWnd::present()
{
    if (peer_)
        peer_->present();
}

CDC* CWnd::GetDC()
{
    if (!m_hWnd)
        return nullptr;
    return new CClientDC(this);
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (!dc)
        return 0;
    delete dc;
    return 1;
}

CWnd* CWnd::SetFocus()
{
    CWnd* old_focus = focus_window;
    if (!m_hWnd || old_focus == this)
        return old_focus;
    tell_focus(old_focus, this, true);
    return old_focus;
}

CWnd* CWnd::GetFocus()
{
    return focus_window;
}

CWnd* CWnd::SetCapture()
{
    CWnd* old_capture = capture_window;
    if (!m_hWnd)
        return old_capture;
    capture_window = this;
    if (old_capture && old_capture != this && ::IsWindow(old_capture)) {
        if (old_capture->peer_)
            old_capture->peer_->set_capture(false);
        old_capture->SendMessage(WM_CAPTURECHANGED, 0, as_lparam(this));
    }
    if (peer_ && old_capture != this)
        peer_->set_capture(true);
    return old_capture;
}

CWnd* CWnd::GetCapture()
{
    return capture_window;
}

CWnd* CWnd::GetActiveWindow()
{
    return active_window;
}

CWnd* CWnd::GetDesktopWindow()
{
    static CWnd desktop;
    return &desktop;
}

CWnd* CWnd::SetActiveWindow()
{
    CWnd* old_active = active_window;
    active_window = GetTopLevelParent();
    return old_active;
}

CScrollBar* CWnd::GetScrollBarCtrl(int /*bar*/) const
{
    return nullptr;
}

BOOL CWnd::EnableToolTips(BOOL enable)
{
    const BOOL was_enabled = tips_enabled_;
    tips_enabled_ = enable != 0;
    if (!tips_enabled_ && peer_)
        peer_->set_tip("");
    return was_enabled;
}

INT_PTR CWnd::OnToolHitTest(CPoint /*point*/, TOOLINFO* /*info*/) const
{
    return -1;
}

CString CWnd::tool_tip_text_at(CPoint point)
{
    if (!tips_enabled_ || !m_hWnd)
        return CString();
    TOOLINFO info;
    if (OnToolHitTest(point, &info) == -1)
        return CString();
    if (info.lpszText != LPSTR_TEXTCALLBACK)
        return CString(info.lpszText);
    TOOLTIPTEXTA request;
    request.hdr.hwndFrom = platform::shared_tool_tip();
    request.hdr.idFrom = info.uId;
    request.hdr.code = TTN_NEEDTEXT;
    request.uFlags = info.uFlags;
    CWnd* target = info.hwnd && ::IsWindow(info.hwnd) ? info.hwnd : this;
    if (!target->SendMessage(WM_NOTIFY, info.uId, as_lparam(&request)))
        return CString();
    return CString(request.lpszText && request.lpszText != LPSTR_TEXTCALLBACK ? request.lpszText : request.szText);
}

void CWnd::WinHelp(DWORD_PTR data, UINT command)
{
    platform::show_help(data, command);
}

void CWnd::CancelToolTips(BOOL /*keys*/)
{
    if (tip_canceller())
        tip_canceller()();
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
BOOL CWnd::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }

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

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    {
        std::lock_guard<std::mutex> lock(posted_mutex);
        posted_queue().push_back(posted_message{window, message, wparam, lparam});
    }
    if (post_notifier())
        post_notifier()();
    return TRUE;
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
    int delivered = 0;
    for (;;) {
        posted_message next;
        {
            std::lock_guard<std::mutex> lock(posted_mutex);
            if (posted_queue().empty())
                break;
            next = posted_queue().front();
            posted_queue().pop_front();
        }
        if (::IsWindow(next.window)) {
            next.window->SendMessage(next.message, next.wparam, next.lparam);
            ++delivered;
        }
    }
    return delivered;
}

void set_post_notifier(std::function<void()> notifier) { post_notifier() = std::move(notifier); }

void focus_moved_by_toolkit(CWnd* new_focus)
{
    if (new_focus != focus_window && (!new_focus || ::IsWindow(new_focus)))
        tell_focus(focus_window, new_focus, false);
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
