#pragma once
// A window of the framework: its own state (parent, children in z-order, id, styles, rectangle,
// visibility, enabled, text, font, update region) and the dispatch of messages to virtual
// handlers. The toolkit peer, when there is one, mirrors the state and reports input as
// messages; without a peer everything below still works, which is how layout and dispatch are
// tested with no display.

#include "platform/base/cstring.h"
#include "platform/base/region.h"
#include "platform/base/window_constants.h"
#include "platform/base/window_peer.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDC;
class CMenu;
class CScrollBar;

struct WNDCLASSA {
    UINT style = 0;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszClassName = nullptr;
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    // Places in the z-order for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND window) { return window; }
    static CWnd* FromHandlePermanent(HWND window) { return window; }

    // Creation. The rectangle is relative to the parent's client area (screen for a window
    // without a parent). FALSE when WM_CREATE answers -1 or a child has no created parent.
    virtual BOOL Create(const char* class_name, const char* window_name, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, void* context = nullptr);
    virtual BOOL CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    BOOL CreateEx(DWORD ex_style, const char* class_name, const char* window_name, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU id_or_menu, void* param = nullptr);
    virtual BOOL DestroyWindow();
    // Takes over the existing child window `id` of parent (a placeholder made from a dialog
    // template): its id, styles, rectangle, text and font and its place among the siblings.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND window);
    // Called once a window has taken the place of another (SubclassWindow, SubclassDlgItem).
    virtual void PreSubclassWindow() {}
    const CString& class_name() const { return class_name_; }

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
    BOOL PostMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    virtual BOOL PreTranslateMessage(MSG* message);
    // The default processing of the message being handled.
    LRESULT Default();
    static const MSG* GetCurrentMessage();

    // Tree and identity.
    // A popup window answers its owner, as the platform does.
    CWnd* GetParent() const { return parent_ ? parent_ : ((style_ & WS_CHILD) ? nullptr : owner_); }
    CWnd* SetParent(CWnd* new_parent);
    CWnd* GetOwner() const { return owner_ ? owner_ : parent_; }
    void SetOwner(CWnd* owner) { owner_ = owner; }
    CWnd* GetTopLevelParent() const;
    BOOL IsChild(const CWnd* window) const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return static_cast<int>(id_); }
    int SetDlgCtrlID(int id);
    CWnd* GetWindow(UINT relation) const;
    CWnd* GetTopWindow() const { return children_.empty() ? nullptr : children_.front(); }
    CWnd* GetNextWindow(UINT relation = GW_HWNDNEXT) const { return GetWindow(relation); }
    const std::vector<CWnd*>& children() const { return children_; }
    BOOL IsWindow() const { return m_hWnd != nullptr; }

    // Styles.
    DWORD GetStyle() const { return style_; }
    DWORD GetExStyle() const { return ex_style_; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    LONG GetWindowLong(int index) const;
    LONG SetWindowLong(int index, LONG value);

    // Geometry.
    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    // The rectangle relative to the parent's client area (screen for a top-level window).
    const CRect& window_rect_in_parent() const { return rect_; }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insert_after, int x, int y, int width, int height, UINT flags);
    void ClientToScreen(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ScreenToClient(RECT* rect) const;
    CPoint client_origin_on_screen() const;
    // Width of the frame around the client area (border and client edge).
    int frame_width() const;

    // Maximised and minimised top-level windows (WS_MAXIMIZE, WS_MINIMIZE), and the
    // rectangle a restore goes back to. With a toolkit the state is the real window's: the
    // toolkit's report (toolkit_resized) sets it, so a request takes effect when the window
    // manager carries it out.
    BOOL IsZoomed() const { return (style_ & WS_MAXIMIZE) != 0; }
    BOOL IsIconic() const { return (style_ & WS_MINIMIZE) != 0; }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
    // The toolkit resized, moved, maximised, minimised or restored the top-level window:
    // WM_SIZE with the size type, WM_MOVE, the restored rectangle kept.
    void toolkit_resized(const CRect& rect, UINT size_type);
    // The smallest size a user may give the window: WM_GETMINMAXINFO's ptMinTrackSize.
    CSize minimum_track_size();

    // The big and small icon of a top-level window (through WM_SETICON and WM_GETICON).
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const { return icons_[big ? 1 : 0]; }

    // Visibility, enabling, text, font.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const { return (style_ & WS_DISABLED) == 0; }
    void SetWindowText(const char* text);
    int GetWindowText(char* buffer, int size) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void InvalidateRgn(CRgn* region, BOOL erase = TRUE);
    void ValidateRect(const RECT* rect);
    void ValidateRgn(CRgn* region);
    BOOL GetUpdateRect(RECT* rect, BOOL erase = FALSE) const;
    int GetUpdateRgn(CRgn* region, BOOL erase = FALSE) const;
    bool update_pending() const { return !update_region_.empty(); }
    const CRect& restored_rect() const { return restored_rect_; }
    bool erase_pending() const { return erase_pending_; }
    // Sends WM_PAINT at once when the update region is not empty.
    void UpdateWindow();
    BOOL RedrawWindow(const RECT* update = nullptr, CRgn* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    // Moves the pixels of the client area (or of rect) by dx, dy and invalidates what was
    // uncovered; child windows move too when no rectangle is given.
    void ScrollWindow(int dx, int dy, const RECT* rect = nullptr, const RECT* clip = nullptr);
    CDC* GetDC();
    CDC* GetWindowDC() { return GetDC(); }
    int ReleaseDC(CDC* dc);
    // Called by a paint DC: takes the update region (for the paint) and empties it.
    rectangle_set begin_paint(bool& erase);
    std::unique_ptr<dc_surface> client_surface();
    // Drawing outside a paint reached the backing surface.
    void present();

    // Focus and capture (one of each per process).
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    static CWnd* GetActiveWindow();
    static CWnd* GetDesktopWindow();
    CWnd* SetActiveWindow();
    BOOL SetForegroundWindow() { SetActiveWindow(); return TRUE; }
    BOOL IsWindowEnabledAndVisible() const { return IsWindowEnabled() && IsWindowVisible(); }

    // The menu bar (a top-level window's; not owned). Changes to a shown menu reach the
    // toolkit by themselves; DrawMenuBar shows the menu again.
    CMenu* GetMenu() const { return menu_; }
    // There is no system menu under GTK: callers find none (an About command goes in a menu).
    CMenu* GetSystemMenu(BOOL /*revert*/) const { return nullptr; }
    BOOL SetMenu(CMenu* menu);
    void DrawMenuBar();

    // Scroll bars: the windows that act as this window's bars (a control answers its own).
    virtual CScrollBar* GetScrollBarCtrl(int bar) const;

    // Tool tips: the hit test finds a tool, the window is asked for its text through
    // WM_NOTIFY with TTN_NEEDTEXT.
    BOOL EnableToolTips(BOOL enable = TRUE);
    // Hands a help request to the application's help handler.
    void WinHelp(DWORD_PTR data, UINT command = 0x0001);
    bool tool_tips_enabled() const { return tips_enabled_; }
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const;
    // What the tip shows for a pointer resting at point (client coordinates); empty for none.
    CString tool_tip_text_at(CPoint point);
    static void CancelToolTips(BOOL keys = FALSE);

    // The peer (null without a toolkit).
    window_peer* peer() const { return peer_.get(); }
    // Sends a message that came from a toolkit event. default_wanted tells the peer whether
    // the handler asked for default processing (the toolkit's own control then handles the
    // event).
    LRESULT send_toolkit_message(UINT message, WPARAM wparam, LPARAM lparam, bool& default_wanted);
    // The toolkit moved or sized the window (a top-level window resized by the user).
    void toolkit_moved(const CRect& rect) { apply_rect(rect, true, true); }

    // Virtual handlers, one per message; the base ones do the default processing.
    virtual BOOL PreCreateWindow(CREATESTRUCT& create);
    virtual int OnCreate(LPCREATESTRUCT create);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void PostNcDestroy();
    virtual void OnSize(UINT type, int width, int height);
    virtual void OnMove(int x, int y);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnSetFocus(CWnd* old_focus);
    virtual void OnKillFocus(CWnd* new_focus);
    virtual void OnCaptureChanged(CWnd* new_capture);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnMButtonDown(UINT flags, CPoint point);
    virtual void OnMButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint screen_point);
    virtual int OnMouseActivate(CWnd* top_level, UINT hit_test, UINT message);
    virtual BOOL OnSetCursor(CWnd* window, UINT hit_test, UINT message);
    virtual void OnKeyDown(UINT key, UINT repeat_count, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeat_count, UINT flags);
    virtual void OnChar(UINT character, UINT repeat_count, UINT flags);
    virtual void OnSysKeyDown(UINT key, UINT repeat_count, UINT flags);
    virtual void OnSysKeyUp(UINT key, UINT repeat_count, UINT flags);
    virtual UINT OnGetDlgCode();
    virtual void OnHScroll(UINT code, UINT position, CScrollBar* bar);
    virtual void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    virtual BOOL OnCommand(WPARAM wparam, LPARAM lparam);
    virtual BOOL OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result);
    // A control's notification offered back to the control first (reflection); TRUE when it
    // handled it, and the parent then does not see it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
    virtual void OnSysColorChange();
    virtual void OnClose();
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnContextMenu(CWnd* window, CPoint screen_point);
    // The parent colours a control (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORLISTBOX):
    // it may set the text colour on dc and answer a background brush; null keeps the
    // toolkit's own colours.
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT control_type);
    // A pop-up or drop-down menu is about to open (index: its place in the parent menu).
    virtual void OnInitMenuPopup(CMenu* popup, UINT index, BOOL system_menu);
    virtual BOOL OnHelpInfo(HELPINFO* info);

protected:
    // The window's own update region grows; the peer is told.
    void add_to_update(const RECT& rect, bool erase);
    // Sends WM_SIZE and WM_MOVE as the rectangle changed.
    void apply_rect(const CRect& rect, bool repaint, bool notify);

private:
    LRESULT dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    void detach_from_parent();
    void store_text(const char* text);
    void destroy_tree();
    // Emulates a state change where no toolkit carries it out.
    void change_state(UINT size_type);
    bool create_common(CREATESTRUCT& create, CWnd* parent);

    CWnd* parent_ = nullptr;
    CWnd* owner_ = nullptr;
    std::vector<CWnd*> children_;
    UINT id_ = 0;
    DWORD style_ = 0;
    DWORD ex_style_ = 0;
    CRect rect_;
    CString text_;
    HFONT font_ = nullptr;
    CString class_name_;
    rectangle_set update_region_;
    bool erase_pending_ = false;
    bool tips_enabled_ = false;
    bool destroying_ = false;
    CMenu* menu_ = nullptr;
    CRect restored_rect_;
    HICON icons_[2] = {nullptr, nullptr};
    std::unique_ptr<window_peer> peer_;
};

// Registered messages: the same name always gives the same number, from 0xC000 up.
UINT RegisterWindowMessageA(const char* name);
// Window classes registered by name (background brush, cursor, class style).
BOOL RegisterClassA(const WNDCLASSA* window_class);
const WNDCLASSA* find_window_class(const char* name);
const char* AfxRegisterWndClass(UINT class_style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                HICON icon = nullptr);

BOOL ReleaseCapture();
HWND GetFocus();
HWND SetFocus(HWND window);
HWND GetCapture();
HWND SetCapture(HWND window);
BOOL IsWindow(HWND window);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
HWND GetDesktopWindow();
HWND GetActiveWindow();

// Cursor position in screen coordinates as of the last input event (set by the input layer).
BOOL GetCursorPos(POINT* point);
DWORD GetMessagePos();
// Standard cursors by their resource numbers.
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_IBEAM = reinterpret_cast<const char*>(32513);
inline const char* const IDC_WAIT = reinterpret_cast<const char*>(32514);
inline const char* const IDC_CROSS = reinterpret_cast<const char*>(32515);
inline const char* const IDC_SIZENWSE = reinterpret_cast<const char*>(32642);
inline const char* const IDC_SIZENESW = reinterpret_cast<const char*>(32643);
inline const char* const IDC_SIZEWE = reinterpret_cast<const char*>(32644);
inline const char* const IDC_SIZENS = reinterpret_cast<const char*>(32645);
inline const char* const IDC_SIZEALL = reinterpret_cast<const char*>(32646);
inline const char* const IDC_NO = reinterpret_cast<const char*>(32648);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);
// A cursor is a pointer to its resource number.
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int cursor_id(HCURSOR cursor);

namespace platform {

// The input layer records where the pointer is (screen coordinates).
void set_cursor_position(POINT screen_point);
// The window that the cursor set by SetCursor applies to (the one handling WM_SETCURSOR).
void set_cursor_target(CWnd* window);
// Posted messages wait here until the backend (or a test) delivers them; one call delivers what
// was queued when it began, so posting from a worker or from delivered work never holds it.
int deliver_posted_messages();
// Runs work on the UI thread, in turn with posted messages, while window lives: work posted
// to a window that is destroyed before delivery is dropped. Safe from any thread; FALSE when
// the window is already gone.
BOOL post_to_window(HWND window, std::function<void()> work);
// The colours the parent gives a control (edits, statics, list boxes): asks with the
// WM_CTLCOLOR message the platform sends for it (a read-only or disabled edit counts as a
// static). False when the parent keeps the toolkit's colours; CLR_INVALID for a colour it
// left alone.
bool control_colours(CWnd& control, COLORREF& text, COLORREF& back);
// Offers an input message to PreTranslateMessage of the window it is meant for, then of each
// ancestor up to the top-level window, as the message loop does; true when one of them took
// it (the window then never sees it).
bool pre_translate(CWnd& target, UINT message, WPARAM wparam, LPARAM lparam);
// The toolkit moved the focus (a click, the window manager): the windows are told as SetFocus
// would tell them, without moving the toolkit's focus again.
void focus_moved_by_toolkit(CWnd* new_focus);
// The keyboard focus before a modal run (a dialog, a message box), given back when it ends.
// Disabling the owner for the run clears the toolkit's own focus in it while the bookkeeping
// may keep it, so the toolkit is told again even then.
struct saved_focus {
    CWnd* window = nullptr;
    std::uint64_t serial = 0;
};
saved_focus save_focus();
// Nothing happens when the window is gone or can no longer take the focus.
void restore_focus(const saved_focus& saved);
// The toolkit took the capture away.
void capture_lost_by_toolkit();
// Tips: the backend shows and hides them; CancelToolTips calls this.
void set_tip_canceller(std::function<void()> canceller);
// Called after each PostMessage (from any thread) so the backend can schedule delivery.
void set_post_notifier(std::function<void()> notifier);
// The tool tip window named in TTN_NEEDTEXT requests (it keeps the tip settings).
CWnd* shared_tool_tip();

}  // namespace platform
