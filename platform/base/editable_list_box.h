#pragma once
// The list box with a tool bar: a caption, a list of texts with item data, and a Remove
// button. Removal asks the list first (OnBeforeRemoveItem), which may refuse it.

#include "platform/base/window.h"

#include <vector>

class editable_list_peer {
public:
    virtual ~editable_list_peer() = default;
    virtual void show_items(const std::vector<CString>& texts) = 0;
    virtual void show_caption(const char* caption) = 0;
};

class CVSListBox : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Index -1 appends; answers the new item's index.
    int AddItem(const CString& text, DWORD_PTR data = 0, int index = -1);
    BOOL RemoveItem(int index);
    void RemoveAllItems();
    int GetCount() const { return static_cast<int>(items_.size()); }
    CString GetItemText(int index) const;
    DWORD_PTR GetItemData(int index) const;
    int GetSelItem() const { return selection_; }
    BOOL SelectItem(int index);
    // The user pressed Remove on the selected item.
    void user_removes_selected();

    // Called when the list is first shown; a derived list sets its caption here.
    virtual void CreateNewList() {}
    // TRUE allows the removal.
    virtual BOOL OnBeforeRemoveItem(int index);
    virtual HWND GetListHwnd() const { return GetSafeHwnd(); }

    int OnCreate(LPCREATESTRUCT create) override;
    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    struct item {
        CString text;
        DWORD_PTR data = 0;
    };
    void mirror() const;

    std::vector<item> items_;
    int selection_ = -1;
};
