#pragma once
// The child controls the grid hosts: scroll bar, edit, list box, and the tool tip settings
// window. Each keeps its state here so that it works without a display; with a toolkit peer
// the scroll bar and list box mirror their state into the toolkit's control, and the edit
// reads and writes the toolkit's control directly.

#include "platform/base/window.h"

#include <vector>

// What a scroll bar's toolkit control shows.
class scroll_bar_peer {
public:
    virtual ~scroll_bar_peer() = default;
    virtual void show_scroll_info(const SCROLLINFO& info) = 0;
};

class edit_peer {
public:
    virtual ~edit_peer() = default;
    virtual CString edit_text() const = 0;
    virtual void set_edit_text(const char* text) = 0;
    virtual void edit_selection(int& start, int& end) const = 0;
    virtual void set_edit_selection(int start, int end) = 0;
    virtual void replace_edit_selection(const char* text) = 0;
    virtual void set_edit_read_only(bool read_only) = 0;
    virtual void set_edit_limit(int limit) = 0;
};

class list_box_peer {
public:
    virtual ~list_box_peer() = default;
    virtual void show_items(const std::vector<CString>& items) = 0;
    virtual void show_selection(int index) = 0;
    virtual int native_item_height() const = 0;
};

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    BOOL SetScrollInfo(SCROLLINFO* info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(SCROLLINFO* info, UINT mask = SIF_ALL) const;
    int SetScrollPos(int position, BOOL redraw = TRUE);
    int GetScrollPos() const { return info_.nPos; }
    void SetScrollRange(int minimum, int maximum, BOOL redraw = TRUE);
    void GetScrollRange(int* minimum, int* maximum) const;
    int GetScrollLimit() const;
    bool vertical() const { return (GetStyle() & SBS_VERT) != 0; }
    // The user moved the bar: tracking updates the track position, the parent gets
    // WM_HSCROLL or WM_VSCROLL with the code, the position (for the thumb codes) and this bar.
    void user_scrolled(UINT code, int position);
    const SCROLLINFO& scroll_info() const { return info_; }

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void clamp_position();
    void mirror() const;

    SCROLLINFO info_{};
};

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL no_scroll = FALSE);
    void SetSel(DWORD selection, BOOL no_scroll = FALSE);
    void GetSel(int& start, int& end) const;
    DWORD GetSel() const;
    void ReplaceSel(const char* text, BOOL can_undo = FALSE);
    void Clear();
    BOOL SetReadOnly(BOOL read_only = TRUE);
    bool read_only() const { return (GetStyle() & ES_READONLY) != 0; }
    void SetLimitText(UINT limit);
    void LimitText(int limit = 0) { SetLimitText(static_cast<UINT>(limit)); }
    UINT GetLimitText() const { return limit_; }
    // The toolkit's control changed its text (typing): the parent is told (EN_UPDATE, EN_CHANGE).
    void user_changed_text();

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    edit_peer* native() const;
    void notify_parent(UINT code);
    void insert_text(const CString& text);

    int selection_start_ = 0;
    int selection_end_ = 0;
    UINT limit_ = 30000;
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }
    int GetCurSel() const { return selection_; }
    int SetCurSel(int index);
    int GetText(int index, char* buffer) const;
    void GetText(int index, CString& text) const;
    int GetTextLen(int index) const;
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    int GetTopIndex() const { return top_index_; }
    int SetTopIndex(int index);
    // The user chose an item in the toolkit's control: LBN_SELCHANGE goes to the parent when
    // the list box has LBS_NOTIFY.
    void user_selected(int index);

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    list_box_peer* native() const;

    std::vector<CString> items_;
    int selection_ = LB_ERR;
    int top_index_ = 0;
    int item_height_ = 0;
};

// The tool tip window of the process: the settings a TTN_NEEDTEXT handler makes.
class CToolTipCtrl : public CWnd {
public:
    int SetMaxTipWidth(int width);
    int GetMaxTipWidth() const { return max_width_; }
    void SetDelayTime(DWORD which, int milliseconds);
    int GetDelayTime(DWORD which) const;
    void Pop();

    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    int max_width_ = -1;
    int auto_pop_ = 5000;
    int initial_ = 500;
    int reshow_ = 100;
};
