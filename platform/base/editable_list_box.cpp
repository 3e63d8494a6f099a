#include "platform/base/editable_list_box.h"

BOOL CVSListBox::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("MfcVSListBox", caption, style, rect, parent, id);
}

int CVSListBox::OnCreate(LPCREATESTRUCT create)
{
    const int answer = CWnd::OnCreate(create);
    if (answer != -1)
        CreateNewList();
    return answer;
}

void CVSListBox::PreSubclassWindow()
{
    CreateNewList();
}

int CVSListBox::AddItem(const CString& text, DWORD_PTR data, int index)
{
    if (index < 0 || index > GetCount())
        index = GetCount();
    items_.insert(items_.begin() + index, item{text, data});
    if (selection_ >= index)
        ++selection_;
    mirror();
    return index;
}

BOOL CVSListBox::RemoveItem(int index)
{
    if (index < 0 || index >= GetCount())
        return FALSE;
    items_.erase(items_.begin() + index);
    if (selection_ == index)
        selection_ = index < GetCount() ? index : GetCount() - 1;
    else if (selection_ > index)
        --selection_;
    mirror();
    return TRUE;
}

void CVSListBox::RemoveAllItems()
{
    items_.clear();
    selection_ = -1;
    mirror();
}

CString CVSListBox::GetItemText(int index) const
{
    return (index >= 0 && index < GetCount()) ? items_[static_cast<size_t>(index)].text : CString();
}

DWORD_PTR CVSListBox::GetItemData(int index) const
{
    return (index >= 0 && index < GetCount()) ? items_[static_cast<size_t>(index)].data : 0;
}

BOOL CVSListBox::SelectItem(int index)
{
    if (index < -1 || index >= GetCount())
        return FALSE;
    selection_ = index;
    return TRUE;
}

BOOL CVSListBox::OnBeforeRemoveItem(int)
{
    return TRUE;
}

void CVSListBox::user_removes_selected()
{
    const int index = selection_;
    if (index < 0 || index >= GetCount())
        return;
    if (OnBeforeRemoveItem(index) && IsWindow())
        RemoveItem(index);
}

LRESULT CVSListBox::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    const LRESULT answer = CWnd::DefWindowProc(message, wparam, lparam);
    if (message == WM_SETTEXT)
        if (auto* native = dynamic_cast<editable_list_peer*>(peer())) {
            CString caption;
            GetWindowText(caption);
            native->show_caption(caption);
        }
    return answer;
}

void CVSListBox::mirror() const
{
    if (auto* native = dynamic_cast<editable_list_peer*>(peer())) {
        std::vector<CString> texts;
        for (const item& each : items_)
            texts.push_back(each.text);
        native->show_items(texts);
    }
}
