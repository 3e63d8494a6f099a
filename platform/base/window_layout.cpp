// Windows: the tree, styles, geometry, visibility, text, painting, focus, capture and tips.
#include "platform/base/window.h"

#include "platform/base/dc.h"
#include "platform/base/modal.h"
#include "platform/base/window_shared.h"

#include <algorithm>
#include <vector>

using namespace platform::window_shared;

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
    if (!(style_ & WS_CHILD) && m_hWnd) {
        UINT wanted = 0xFFFF;
        if (command == SW_MAXIMIZE)
            wanted = SIZE_MAXIMIZED;
        else if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE)
            wanted = SIZE_MINIMIZED;
        else if (command == SW_RESTORE || (command == SW_SHOWNORMAL && (IsZoomed() || IsIconic())))
            wanted = SIZE_RESTORED;
        if (wanted != 0xFFFF) {
            if (auto* state = dynamic_cast<window_state_peer*>(peer_.get()))
                state->request_state(wanted);
            else
                change_state(wanted);
        }
    }
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
    } else {
        if (focus_window && (focus_window == this || IsChild(focus_window)))
            tell_focus(focus_window, nullptr, false);
        pass_activation_from(this);
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
    if (m_hWnd && peer_)
        peer_->update_now();
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

