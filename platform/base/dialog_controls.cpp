#include "platform/base/dialog_controls.h"

#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <algorithm>
#include <cstring>

namespace {

void notify_parent(CWnd& control, UINT code)
{
    if (CWnd* parent = control.GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control.GetDlgCtrlID()), static_cast<WORD>(code)),
                            reinterpret_cast<LPARAM>(&control));
}

bool is_radio(const CWnd& window)
{
    const DWORD kind = window.GetStyle() & BS_TYPEMASK;
    return window.class_name().CompareNoCase("BUTTON") == 0 &&
           (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
}

}  // namespace

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

void CButton::SetCheck(int state)
{
    const DWORD kind = GetButtonStyle();
    const int highest = (kind == BS_3STATE || kind == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
    check_ = std::max(BST_UNCHECKED, std::min(state, highest));
    if (auto* native = dynamic_cast<button_peer*>(peer()))
        native->show_check(check_);
}

// An automatic radio button clears the others of its group: the siblings from the group's
// first (WS_GROUP) up to the next group.
void CButton::uncheck_radio_siblings()
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    const std::vector<CWnd*>& siblings = parent->children();
    auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end())
        return;
    auto first = self;
    while (first != siblings.begin() && !((*first)->GetStyle() & WS_GROUP))
        --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && ((*it)->GetStyle() & WS_GROUP))
            break;
        if (*it != this && is_radio(**it))
            (*it)->SendMessage(BM_SETCHECK, BST_UNCHECKED);
    }
}

void CButton::user_clicked()
{
    if (!IsWindowEnabled())
        return;
    switch (GetButtonStyle()) {
    case BS_AUTOCHECKBOX:
        SetCheck(check_ == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTO3STATE:
        SetCheck((check_ + 1) % 3);
        break;
    case BS_AUTORADIOBUTTON:
        SetCheck(BST_CHECKED);
        uncheck_radio_siblings();
        break;
    default:
        break;
    }
    notify_parent(*this, BN_CLICKED);
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case BM_GETCHECK: return check_;
    case BM_SETCHECK: SetCheck(static_cast<int>(wparam)); return 0;
    case BM_CLICK: user_clicked(); return 0;
    default: return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("COMBOBOX", "", style, rect, parent, id);
}

void CComboBox::mirror_items() const
{
    if (auto* native = dynamic_cast<combo_box_peer*>(peer())) {
        native->show_items(items_);
        native->show_selection(selection_);
    }
}

void CComboBox::show_current_text()
{
    SetWindowText(selection_ >= 0 ? items_[static_cast<size_t>(selection_)].GetString() : "");
}

int CComboBox::AddString(const char* text)
{
    const CString item(text ? text : "");
    size_t index = items_.size();
    if (GetStyle() & CBS_SORT)
        index = static_cast<size_t>(std::upper_bound(items_.begin(), items_.end(), item,
                                                     [](const CString& a, const CString& b) {
                                                         return a.CompareNoCase(b) < 0;
                                                     }) - items_.begin());
    return InsertString(static_cast<int>(index), item);
}

int CComboBox::InsertString(int index, const char* text)
{
    if (index > GetCount())
        return CB_ERR;
    if (index < 0)
        index = GetCount();
    items_.insert(items_.begin() + index, CString(text ? text : ""));
    if (selection_ >= index)
        ++selection_;
    mirror_items();
    return index;
}

int CComboBox::DeleteString(UINT index)
{
    if (index >= items_.size())
        return CB_ERR;
    items_.erase(items_.begin() + index);
    const int removed = static_cast<int>(index);
    if (selection_ == removed)
        selection_ = CB_ERR;
    else if (selection_ > removed)
        --selection_;
    mirror_items();
    show_current_text();
    return GetCount();
}

void CComboBox::ResetContent()
{
    items_.clear();
    selection_ = CB_ERR;
    mirror_items();
    show_current_text();
}

int CComboBox::SetCurSel(int index)
{
    if (index < 0 || index >= GetCount()) {
        selection_ = CB_ERR;
        mirror_items();
        show_current_text();
        return CB_ERR;
    }
    selection_ = index;
    if (auto* native = dynamic_cast<combo_box_peer*>(peer()))
        native->show_selection(selection_);
    show_current_text();
    return index;
}

void CComboBox::GetLBText(int index, CString& text) const
{
    text = (index >= 0 && index < GetCount()) ? items_[static_cast<size_t>(index)] : CString();
}

int CComboBox::GetLBTextLen(int index) const
{
    return (index >= 0 && index < GetCount()) ? items_[static_cast<size_t>(index)].GetLength() : CB_ERR;
}

int CComboBox::FindStringExact(int start_after, const char* text) const
{
    const int count = GetCount();
    for (int step = 1; step <= count; ++step) {
        const int index = ((start_after < 0 ? -1 : start_after) + step) % count;
        if (items_[static_cast<size_t>(index)].CompareNoCase(text ? text : "") == 0)
            return index;
    }
    return CB_ERR;
}

int CComboBox::SelectString(int start_after, const char* text)
{
    const CString wanted(text ? text : "");
    const int count = GetCount();
    for (int step = 1; step <= count; ++step) {
        const int index = ((start_after < 0 ? -1 : start_after) + step) % count;
        const CString& item = items_[static_cast<size_t>(index)];
        if (item.Left(wanted.GetLength()).CompareNoCase(wanted) == 0)
            return SetCurSel(index);
    }
    return CB_ERR;
}

void CComboBox::user_selected(int index)
{
    if (index < -1 || index >= GetCount())
        return;
    selection_ = index;
    show_current_text();
    notify_parent(*this, CBN_SELCHANGE);
}

LRESULT CComboBox::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case CB_ADDSTRING: return AddString(reinterpret_cast<const char*>(lparam));
    case CB_GETCOUNT: return GetCount();
    case CB_GETCURSEL: return GetCurSel();
    case CB_SETCURSEL: return SetCurSel(static_cast<int>(wparam));
    case CB_RESETCONTENT: ResetContent(); return 0;
    case CB_DELETESTRING: return DeleteString(static_cast<UINT>(wparam));
    case CB_INSERTSTRING: return InsertString(static_cast<int>(wparam), reinterpret_cast<const char*>(lparam));
    case CB_GETLBTEXTLEN: return GetLBTextLen(static_cast<int>(wparam));
    case CB_GETLBTEXT: {
        const int index = static_cast<int>(wparam);
        if (index < 0 || index >= GetCount() || !lparam)
            return CB_ERR;
        CString text;
        GetLBText(index, text);
        // The caller's buffer holds GetLBTextLen + 1 characters, as the platform asks.
        std::memcpy(reinterpret_cast<char*>(lparam), text.GetString(), static_cast<size_t>(text.GetLength()) + 1);
        return text.GetLength();
    }
    case CB_FINDSTRINGEXACT: return FindStringExact(static_cast<int>(wparam), reinterpret_cast<const char*>(lparam));
    case CB_SELECTSTRING: return SelectString(static_cast<int>(wparam), reinterpret_cast<const char*>(lparam));
    default: return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("msctls_progress32", "", style, rect, parent, id);
}

void CProgressCtrl::mirror() const
{
    if (auto* native = dynamic_cast<progress_peer*>(peer()))
        native->show_progress(lower_, upper_, position_);
}

void CProgressCtrl::SetRange32(int lower, int upper)
{
    lower_ = lower;
    upper_ = std::max(lower, upper);
    position_ = std::max(lower_, std::min(position_, upper_));
    mirror();
}

int CProgressCtrl::SetPos(int position)
{
    const int previous = position_;
    position_ = std::max(lower_, std::min(position, upper_));
    mirror();
    return previous;
}

LRESULT CProgressCtrl::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case PBM_SETRANGE: {
        const int previous = MAKELONG(static_cast<WORD>(lower_), static_cast<WORD>(upper_));
        SetRange32(LOWORD(lparam), HIWORD(lparam));
        return previous;
    }
    case PBM_SETRANGE32: SetRange32(static_cast<int>(wparam), static_cast<int>(lparam)); return 0;
    case PBM_SETPOS: return SetPos(static_cast<int>(wparam));
    case PBM_DELTAPOS: return OffsetPos(static_cast<int>(wparam));
    case PBM_GETPOS: return position_;
    default: return CWnd::DefWindowProc(message, wparam, lparam);
    }
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    CRect client;
    parent->GetClientRect(&client);
    const CRect rect(0, client.bottom - bar_height(), client.right, client.bottom);
    return CWnd::Create("msctls_statusbar32", "", style | WS_CHILD, rect, parent, id);
}

void CStatusBar::place_at_bottom()
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect client;
    parent->GetClientRect(&client);
    MoveWindow(0, client.bottom - bar_height(), client.Width(), bar_height());
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count)
{
    if (!GetSafeHwnd() || count < 0 || (count > 0 && !ids))
        return FALSE;
    panes_.assign(static_cast<size_t>(count), pane{});
    for (int index = 0; index < count; ++index)
        panes_[static_cast<size_t>(index)].id = ids[index];
    update_indicators();
    return TRUE;
}

UINT CStatusBar::GetItemID(int index) const
{
    return (index >= 0 && index < GetCount()) ? panes_[static_cast<size_t>(index)].id : ID_SEPARATOR;
}

int CStatusBar::CommandToIndex(UINT id) const
{
    for (int index = 0; index < GetCount(); ++index)
        if (panes_[static_cast<size_t>(index)].id == id)
            return index;
    return -1;
}

BOOL CStatusBar::SetPaneText(int index, const char* text, BOOL /*update*/)
{
    if (index < 0 || index >= GetCount())
        return FALSE;
    panes_[static_cast<size_t>(index)].text = text ? text : "";
    mirror();
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const
{
    return (index >= 0 && index < GetCount()) ? panes_[static_cast<size_t>(index)].text : CString();
}

void CStatusBar::update_indicators()
{
    bool changed = false;
    for (pane& each : panes_) {
        int key = 0;
        const char* shown = "";
        if (each.id == ID_INDICATOR_CAPS) { key = VK_CAPITAL; shown = "CAP"; }
        else if (each.id == ID_INDICATOR_NUM) { key = VK_NUMLOCK; shown = "NUM"; }
        else if (each.id == ID_INDICATOR_SCRL) { key = VK_SCROLL; shown = "SCRL"; }
        if (key == 0)
            continue;
        const CString text = (GetKeyState(key) & 1) ? shown : "";
        changed = changed || text != each.text;
        each.text = text;
    }
    // Asked often (whenever the toolkit is idle): the toolkit hears only of changes.
    if (changed)
        mirror();
}

void CStatusBar::mirror() const
{
    if (auto* native = dynamic_cast<status_bar_peer*>(peer())) {
        std::vector<CString> texts;
        for (const pane& each : panes_)
            texts.push_back(each.text);
        native->show_panes(texts);
    }
}

void CMFCButton::SetTooltip(const char* text)
{
    if (peer())
        peer()->set_tip(text ? text : "");
}
