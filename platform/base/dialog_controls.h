#pragma once
// The controls that dialogs hold besides the edit and the list box: buttons (push, check box,
// radio, group box), statics, drop-list combo boxes, progress bars and the status bar. Each
// keeps its state here so dialog logic runs without a display; with a toolkit peer the state
// is mirrored into the toolkit's control and the user's actions come back as notifications.

#include "platform/base/window.h"

#include <vector>

constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_CHECKBOX = 0x0002;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_RADIOBUTTON = 0x0004;
constexpr DWORD BS_3STATE = 0x0005;
constexpr DWORD BS_AUTO3STATE = 0x0006;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;
constexpr UINT BN_CLICKED = 0;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;

constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;

constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_SORT = 0x0100;
constexpr int CB_ERR = -1;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CBN_SELCHANGE = 1;

constexpr UINT PBM_SETRANGE = 0x0401;
constexpr UINT PBM_SETPOS = 0x0402;
constexpr UINT PBM_DELTAPOS = 0x0403;
constexpr UINT PBM_SETSTEP = 0x0404;
constexpr UINT PBM_STEPIT = 0x0405;
constexpr UINT PBM_SETRANGE32 = 0x0406;
constexpr UINT PBM_GETPOS = 0x0408;

constexpr UINT ID_SEPARATOR = 0;
constexpr UINT ID_INDICATOR_CAPS = 0xE101;
constexpr UINT ID_INDICATOR_NUM = 0xE102;
constexpr UINT ID_INDICATOR_SCRL = 0xE103;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr DWORD CBRS_BOTTOM = 0x8000;

// What the toolkit control of a check box or radio button shows.
class button_peer {
public:
    virtual ~button_peer() = default;
    virtual void show_check(int state) = 0;
};

class combo_box_peer {
public:
    virtual ~combo_box_peer() = default;
    virtual void show_items(const std::vector<CString>& items) = 0;
    virtual void show_selection(int index) = 0;
};

class progress_peer {
public:
    virtual ~progress_peer() = default;
    virtual void show_progress(int lower, int upper, int position) = 0;
};

class status_bar_peer {
public:
    virtual ~status_bar_peer() = default;
    virtual void show_panes(const std::vector<CString>& texts) = 0;
};

class CButton : public CWnd {
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const { return check_; }
    void SetCheck(int state);
    UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
    // A click by the user (or BM_CLICK): automatic check boxes and radio buttons change their
    // state first, then the parent gets BN_CLICKED.
    void user_clicked();

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void uncheck_radio_siblings();

    int check_ = BST_UNCHECKED;
};

// The newer framework's push button: a push button here (its extra looks are the toolkit's).
class CMFCButton : public CButton {
public:
    // The tip the toolkit shows over the button.
    void SetTooltip(const char* text);
};

class CStatic : public CWnd {
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
};

// The drop-list combo box: a choice among fixed items, the current one shown.
class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const char* text);
    int InsertString(int index, const char* text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(items_.size()); }
    int GetCurSel() const { return selection_; }
    int SetCurSel(int index);
    void GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    int FindStringExact(int start_after, const char* text) const;
    int SelectString(int start_after, const char* text);
    // The user chose an item in the toolkit's control: the parent gets CBN_SELCHANGE.
    void user_selected(int index);

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void mirror_items() const;
    void show_current_text();

    std::vector<CString> items_;
    int selection_ = CB_ERR;
};

class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const { lower = lower_; upper = upper_; }
    int SetPos(int position);
    int GetPos() const { return position_; }
    int OffsetPos(int delta) { return SetPos(position_ + delta); }

    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void mirror() const;

    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
};

// A bar of text panes along the bottom of its parent. The indicator panes show "CAP", "NUM"
// and "SCRL" while their key is toggled on.
class CStatusBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    BOOL SetIndicators(const UINT* ids, int count);
    int GetCount() const { return static_cast<int>(panes_.size()); }
    UINT GetItemID(int index) const;
    int CommandToIndex(UINT id) const;
    BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    // Places the bar along the bottom of the parent's client area, full width.
    void place_at_bottom();
    // Reads the toggle state of the indicator keys again.
    void update_indicators();
    static int bar_height() { return 20; }

private:
    struct pane {
        UINT id = ID_SEPARATOR;
        CString text;
    };
    void mirror() const;

    std::vector<pane> panes_;
};
using CMFCStatusBar = CStatusBar;
