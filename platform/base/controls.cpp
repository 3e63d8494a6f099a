#include "platform/base/controls.h"

#include "platform/base/dc.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

int text_length(const CWnd& window)
{
    return window.GetWindowTextLength();
}

}  // namespace

namespace platform {

CWnd* shared_tool_tip()
{
    static CToolTipCtrl tip;
    if (!tip.GetSafeHwnd())
        tip.CreateEx(WS_EX_TOPMOST, "tooltips_class32", "", WS_POPUP, CRect(0, 0, 0, 0), nullptr, 0);
    return &tip;
}

}  // namespace platform

BOOL CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("SCROLLBAR", "", style, rect, parent, id);
}

void CScrollBar::clamp_position()
{
    const int limit = GetScrollLimit();
    info_.nPos = std::max(info_.nMin, std::min(info_.nPos, limit));
}

int CScrollBar::GetScrollLimit() const
{
    const int page = static_cast<int>(info_.nPage);
    return std::max(info_.nMin, info_.nMax - std::max(page - 1, 0));
}

void CScrollBar::mirror() const
{
    if (auto* native = dynamic_cast<scroll_bar_peer*>(peer()))
        native->show_scroll_info(info_);
}

BOOL CScrollBar::SetScrollInfo(SCROLLINFO* info, BOOL /*redraw*/)
{
    if (!info)
        return FALSE;
    if (info->fMask & SIF_RANGE) {
        info_.nMin = info->nMin;
        info_.nMax = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE)
        info_.nPage = std::min(info->nPage, static_cast<UINT>(info_.nMax - info_.nMin + 1));
    if (info->fMask & SIF_POS)
        info_.nPos = info->nPos;
    clamp_position();
    mirror();
    return TRUE;
}

BOOL CScrollBar::GetScrollInfo(SCROLLINFO* info, UINT mask) const
{
    if (!info)
        return FALSE;
    info->fMask = mask;
    if (mask & SIF_RANGE) {
        info->nMin = info_.nMin;
        info->nMax = info_.nMax;
    }
    if (mask & SIF_PAGE)
        info->nPage = info_.nPage;
    if (mask & SIF_POS)
        info->nPos = info_.nPos;
    if (mask & SIF_TRACKPOS)
        info->nTrackPos = info_.nTrackPos;
    return TRUE;
}

int CScrollBar::SetScrollPos(int position, BOOL /*redraw*/)
{
    const int old_position = info_.nPos;
    info_.nPos = position;
    clamp_position();
    mirror();
    return old_position;
}

void CScrollBar::SetScrollRange(int minimum, int maximum, BOOL redraw)
{
    SCROLLINFO info;
    info.fMask = SIF_RANGE;
    info.nMin = minimum;
    info.nMax = maximum;
    SetScrollInfo(&info, redraw);
}

void CScrollBar::GetScrollRange(int* minimum, int* maximum) const
{
    if (minimum)
        *minimum = info_.nMin;
    if (maximum)
        *maximum = info_.nMax;
}

void CScrollBar::user_scrolled(UINT code, int position)
{
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION)
        info_.nTrackPos = position;
    CWnd* receiver = GetParent() ? GetParent() : GetOwner();
    if (!receiver)
        return;
    const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
    receiver->SendMessage(vertical() ? WM_VSCROLL : WM_HSCROLL,
                          MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(thumb ? position : 0)),
                          reinterpret_cast<LPARAM>(this));
}

LRESULT CScrollBar::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case SBM_SETPOS:
        return SetScrollPos(static_cast<int>(wparam), static_cast<BOOL>(lparam));
    case SBM_GETPOS:
        return GetScrollPos();
    case SBM_SETRANGE:
        SetScrollRange(static_cast<int>(wparam), static_cast<int>(lparam));
        return 0;
    case SBM_SETSCROLLINFO:
        SetScrollInfo(reinterpret_cast<SCROLLINFO*>(lparam), static_cast<BOOL>(wparam));
        return info_.nPos;
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<SCROLLINFO*>(lparam);
        return info ? GetScrollInfo(info, info->fMask) : FALSE;
    }
    default:
        return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("EDIT", "", style, rect, parent, id);
}

edit_peer* CEdit::native() const
{
    return dynamic_cast<edit_peer*>(peer());
}

void CEdit::SetSel(int start, int end, BOOL /*no_scroll*/)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEdit::SetSel(DWORD selection, BOOL no_scroll)
{
    SetSel(static_cast<SHORT>(LOWORD(selection)), static_cast<SHORT>(HIWORD(selection)), no_scroll);
}

void CEdit::GetSel(int& start, int& end) const
{
    if (edit_peer* edit = native()) {
        edit->edit_selection(start, end);
        return;
    }
    start = std::min(selection_start_, selection_end_);
    end = std::max(selection_start_, selection_end_);
}

DWORD CEdit::GetSel() const
{
    int start = 0;
    int end = 0;
    GetSel(start, end);
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end)));
}

void CEdit::ReplaceSel(const char* text, BOOL /*can_undo*/)
{
    SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

void CEdit::Clear()
{
    SendMessage(WM_CLEAR);
}

BOOL CEdit::SetReadOnly(BOOL read_only)
{
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(read_only)));
}

void CEdit::SetLimitText(UINT limit)
{
    SendMessage(EM_LIMITTEXT, limit);
}

void CEdit::notify_parent(UINT code)
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(code)),
                            reinterpret_cast<LPARAM>(this));
}

void CEdit::user_changed_text()
{
    notify_parent(EN_UPDATE);
    notify_parent(EN_CHANGE);
}

void CEdit::insert_text(const CString& inserted)
{
    if (read_only())
        return;
    int start = 0;
    int end = 0;
    GetSel(start, end);
    CString text;
    GetWindowText(text);
    CString added = inserted;
    const int room = static_cast<int>(limit_) - (text.GetLength() - (end - start));
    if (room < added.GetLength())
        added = added.Left(std::max(0, room));
    if (added.IsEmpty() && start == end)
        return;
    if (edit_peer* edit = native()) {
        edit->replace_edit_selection(added);
    } else {
        text.Delete(start, end - start);
        text.Insert(start, added);
        CWnd::DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.GetString()));
        selection_start_ = selection_end_ = start + added.GetLength();
    }
    user_changed_text();
}

LRESULT CEdit::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case EM_SETSEL: {
        const int length = text_length(*this);
        int start = static_cast<int>(static_cast<std::intptr_t>(wparam));
        int end = static_cast<int>(lparam);
        if (start == -1) {
            int current_start = 0;
            int current_end = 0;
            GetSel(current_start, current_end);
            start = end = current_end;
        }
        if (end < 0 || end > length)
            end = length;
        start = std::max(0, std::min(start, length));
        if (edit_peer* edit = native()) {
            edit->set_edit_selection(start, end);
        } else {
            selection_start_ = start;
            selection_end_ = end;
        }
        return 0;
    }
    case EM_GETSEL: {
        int start = 0;
        int end = 0;
        GetSel(start, end);
        if (wparam)
            *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(start);
        if (lparam)
            *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(end);
        return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case EM_REPLACESEL:
        insert_text(CString(reinterpret_cast<const char*>(lparam)));
        return 0;
    case WM_CLEAR:
        insert_text(CString());
        return 0;
    case WM_CHAR: {
        const UINT character = static_cast<UINT>(wparam);
        if (character == 0x08u) {
            int start = 0;
            int end = 0;
            GetSel(start, end);
            if (start == end && start > 0)
                SendMessage(EM_SETSEL, static_cast<WPARAM>(start - 1), end);
            insert_text(CString());
        } else if (character >= 32 || character == '\t' || character == '\r' || character == '\n') {
            if ((character == '\r' || character == '\n') && !(GetStyle() & ES_MULTILINE))
                return 0;
            insert_text(CString(static_cast<char>(character == '\r' ? '\n' : character)));
        }
        return 0;
    }
    case EM_SETREADONLY:
        ModifyStyle(wparam ? 0 : ES_READONLY, wparam ? ES_READONLY : 0);
        if (edit_peer* edit = native())
            edit->set_edit_read_only(wparam != 0);
        return TRUE;
    case EM_LIMITTEXT: {
        const UINT requested = static_cast<UINT>(wparam);
        limit_ = requested == 0 || requested > 0x7FFFFFFE ? 0x7FFFFFFE : requested;
        if (edit_peer* edit = native())
            edit->set_edit_limit(static_cast<int>(limit_));
        return 0;
    }
    case EM_GETLIMITTEXT:
        return limit_;
    case EM_SCROLLCARET:
        return TRUE;
    case WM_SETTEXT:
        if (edit_peer* edit = native())
            edit->set_edit_text(reinterpret_cast<const char*>(lparam));
        else
            CWnd::DefWindowProc(message, wparam, lparam);
        selection_start_ = selection_end_ = 0;
        user_changed_text();
        return TRUE;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        // Return starts a new line in a multi-line edit made to take it, not the dialog's default.
        const auto* key = reinterpret_cast<const MSG*>(lparam);
        if ((GetStyle() & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN) && key &&
            key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_SETFOCUS:
        notify_parent(EN_SETFOCUS);
        return CWnd::DefWindowProc(message, wparam, lparam);
    case WM_KILLFOCUS:
        notify_parent(EN_KILLFOCUS);
        return CWnd::DefWindowProc(message, wparam, lparam);
    default:
        return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("LISTBOX", "", style, rect, parent, id);
}

list_box_peer* CListBox::native() const
{
    return dynamic_cast<list_box_peer*>(peer());
}

int CListBox::AddString(const char* text)
{
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CListBox::InsertString(int index, const char* text)
{
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
}

int CListBox::DeleteString(UINT index)
{
    return static_cast<int>(SendMessage(LB_DELETESTRING, index));
}

void CListBox::ResetContent()
{
    SendMessage(LB_RESETCONTENT);
}

int CListBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CListBox::GetText(int index, char* buffer) const
{
    if (index < 0 || index >= GetCount() || !buffer)
        return LB_ERR;
    const CString& text = items_[static_cast<size_t>(index)];
    std::memcpy(buffer, text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
    return text.GetLength();
}

void CListBox::GetText(int index, CString& text) const
{
    text = index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)] : CString();
}

int CListBox::GetTextLen(int index) const
{
    return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)].GetLength() : LB_ERR;
}

int CListBox::GetItemHeight(int /*index*/) const
{
    return static_cast<int>(const_cast<CListBox*>(this)->SendMessage(LB_GETITEMHEIGHT));
}

int CListBox::SetItemHeight(int index, UINT height)
{
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), static_cast<LPARAM>(height)));
}

int CListBox::SetTopIndex(int index)
{
    if (index < 0 || index >= std::max(1, GetCount()))
        return LB_ERR;
    top_index_ = index;
    return 0;
}

void CListBox::user_selected(int index)
{
    if (index < -1 || index >= GetCount())
        return;
    selection_ = index;
    if ((GetStyle() & LBS_NOTIFY) && GetParent())
        GetParent()->SendMessage(WM_COMMAND,
                                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(LBN_SELCHANGE)),
                                 reinterpret_cast<LPARAM>(this));
}

LRESULT CListBox::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        const CString text(reinterpret_cast<const char*>(lparam));
        int index = message == LB_INSERTSTRING ? static_cast<int>(static_cast<std::intptr_t>(wparam)) : -1;
        if (message == LB_ADDSTRING && (GetStyle() & LBS_SORT)) {
            const auto position = std::upper_bound(items_.begin(), items_.end(), text,
                                                   [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
            index = static_cast<int>(position - items_.begin());
        }
        if (index < 0 || index > GetCount())
            index = GetCount();
        items_.insert(items_.begin() + index, text);
        if (selection_ >= index)
            ++selection_;
        if (list_box_peer* list = native()) {
            list->show_items(items_);
            list->show_selection(selection_);
        }
        return index;
    }
    case LB_DELETESTRING: {
        const int index = static_cast<int>(wparam);
        if (index < 0 || index >= GetCount())
            return LB_ERR;
        items_.erase(items_.begin() + index);
        if (selection_ == index)
            selection_ = LB_ERR;
        else if (selection_ > index)
            --selection_;
        if (list_box_peer* list = native()) {
            list->show_items(items_);
            list->show_selection(selection_);
        }
        return GetCount();
    }
    case LB_RESETCONTENT:
        items_.clear();
        selection_ = LB_ERR;
        top_index_ = 0;
        if (list_box_peer* list = native())
            list->show_items(items_);
        return 0;
    case LB_SETCURSEL: {
        const int index = static_cast<int>(static_cast<std::intptr_t>(wparam));
        if (index < -1 || index >= GetCount()) {
            selection_ = LB_ERR;
            return LB_ERR;
        }
        selection_ = index;
        if (list_box_peer* list = native())
            list->show_selection(selection_);
        return index == -1 ? LB_ERR : index;
    }
    case LB_GETCURSEL:
        return selection_;
    case LB_GETCOUNT:
        return GetCount();
    case LB_GETTEXT:
        return GetText(static_cast<int>(wparam), reinterpret_cast<char*>(lparam));
    case LB_GETTEXTLEN:
        return GetTextLen(static_cast<int>(wparam));
    case LB_GETTOPINDEX:
        return top_index_;
    case LB_SETTOPINDEX:
        return SetTopIndex(static_cast<int>(wparam));
    case LB_SETITEMHEIGHT:
        if (lparam <= 0 || lparam > 255)
            return LB_ERR;
        item_height_ = static_cast<int>(lparam);
        return 0;
    case LB_GETITEMHEIGHT: {
        if (item_height_ > 0)
            return item_height_;
        if (list_box_peer* list = native())
            return list->native_item_height();
        CDC measure;
        measure.SelectObject(GetFont());
        TEXTMETRICA metrics;
        measure.GetTextMetrics(&metrics);
        return metrics.tmHeight;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

int CToolTipCtrl::SetMaxTipWidth(int width)
{
    return std::exchange(max_width_, width);
}

void CToolTipCtrl::SetDelayTime(DWORD which, int milliseconds)
{
    switch (which) {
    case TTDT_AUTOPOP:
        auto_pop_ = milliseconds;
        break;
    case TTDT_INITIAL:
        initial_ = milliseconds;
        break;
    case TTDT_RESHOW:
        reshow_ = milliseconds;
        break;
    case TTDT_AUTOMATIC:
        initial_ = milliseconds;
        auto_pop_ = milliseconds * 10;
        reshow_ = milliseconds / 5;
        break;
    default:
        break;
    }
}

int CToolTipCtrl::GetDelayTime(DWORD which) const
{
    switch (which) {
    case TTDT_AUTOPOP:
        return auto_pop_;
    case TTDT_INITIAL:
        return initial_;
    case TTDT_RESHOW:
        return reshow_;
    default:
        return 0;
    }
}

void CToolTipCtrl::Pop()
{
    CancelToolTips();
}

LRESULT CToolTipCtrl::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case TTM_SETMAXTIPWIDTH:
        return SetMaxTipWidth(static_cast<int>(lparam));
    case TTM_SETDELAYTIME:
        SetDelayTime(static_cast<DWORD>(wparam), static_cast<int>(LOWORD(static_cast<DWORD_PTR>(lparam))));
        return 0;
    case TTM_POP:
        Pop();
        return 0;
    default:
        return CWnd::WindowProc(message, wparam, lparam);
    }
}
