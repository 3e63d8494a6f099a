#include "platform/base/controls.h"
#include "platform/base/dc.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"
#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A window that writes down what reached its handlers.
class recording_window : public CWnd {
public:
    std::vector<std::string> log;
    CPoint last_point;
    UINT last_flags = 0;
    UINT last_key = 0;
    UINT last_repeat = 0;
    short last_delta = 0;
    CWnd* last_other = nullptr;
    int created_width = -1;
    UINT dialog_code = 0;
    bool refuse_creation = false;

    BOOL PreCreateWindow(CREATESTRUCT& create) override
    {
        create.style |= WS_CLIPCHILDREN;
        return TRUE;
    }
    int OnCreate(LPCREATESTRUCT create) override
    {
        log.push_back("create");
        created_width = create->cx;
        return refuse_creation ? -1 : 0;
    }
    void OnDestroy() override { log.push_back("destroy"); }
    void OnSize(UINT, int width, int height) override
    {
        log.push_back("size " + std::to_string(width) + "x" + std::to_string(height));
    }
    void OnPaint() override
    {
        CPaintDC dc(this);
        log.push_back("paint " + std::to_string(dc.m_ps.rcPaint.left) + "," + std::to_string(dc.m_ps.rcPaint.top) +
                      "," + std::to_string(dc.m_ps.rcPaint.right) + "," + std::to_string(dc.m_ps.rcPaint.bottom));
    }
    BOOL OnEraseBkgnd(CDC*) override
    {
        log.push_back("erase");
        return TRUE;
    }
    void OnLButtonDown(UINT flags, CPoint point) override
    {
        log.push_back("lbuttondown");
        last_flags = flags;
        last_point = point;
    }
    void OnMouseMove(UINT flags, CPoint point) override
    {
        log.push_back("mousemove");
        last_flags = flags;
        last_point = point;
    }
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override
    {
        last_flags = flags;
        last_delta = delta;
        last_point = point;
        return TRUE;
    }
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override
    {
        last_key = key;
        last_repeat = repeat;
        last_flags = flags;
        log.push_back("keydown");
    }
    void OnSetFocus(CWnd* old_focus) override
    {
        last_other = old_focus;
        log.push_back("setfocus");
    }
    void OnKillFocus(CWnd* new_focus) override
    {
        last_other = new_focus;
        log.push_back("killfocus");
    }
    void OnCaptureChanged(CWnd* new_capture) override
    {
        last_other = new_capture;
        log.push_back("capturechanged");
    }
    UINT OnGetDlgCode() override { return dialog_code; }
    void OnHScroll(UINT code, UINT position, CScrollBar* bar) override
    {
        log.push_back("hscroll " + std::to_string(code) + " " + std::to_string(position));
        last_other = bar;
    }
    void OnVScroll(UINT code, UINT position, CScrollBar* bar) override
    {
        log.push_back("vscroll " + std::to_string(code) + " " + std::to_string(position));
        last_other = bar;
    }
    BOOL OnCommand(WPARAM wparam, LPARAM) override
    {
        log.push_back("command " + std::to_string(LOWORD(wparam)) + " " + std::to_string(HIWORD(wparam)));
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == RegisterWindowMessageA("tarvoline_test_message"))
            return static_cast<LRESULT>(wparam + 1);
        if (message == WM_NOTIFY) {
            auto* request = reinterpret_cast<TOOLTIPTEXTA*>(lparam);
            if (request->hdr.code == TTN_NEEDTEXT) {
                tip_text = "Cell " + std::to_string(request->hdr.idFrom);
                request->lpszText = const_cast<char*>(tip_text.c_str());
                return 1;
            }
        }
        return CWnd::WindowProc(message, wparam, lparam);
    }
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override
    {
        if (point.x < 10)
            return -1;
        info->hwnd = m_hWnd;
        info->uId = static_cast<UINT_PTR>(point.x / 10);
        info->lpszText = LPSTR_TEXTCALLBACK;
        return 1;
    }

private:
    std::string tip_text;
};

}  // namespace

TEST(window_tree, children_keep_ids_rectangles_and_screen_positions)
{
    recording_window top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(100, 50, 500, 350), nullptr, 0));
    EXPECT_EQ(top.created_width, 400);
    EXPECT_TRUE(top.GetStyle() & WS_CLIPCHILDREN);
    recording_window cells;
    recording_window heading;
    ASSERT_TRUE(cells.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(40, 20, 240, 120), &top, 1));
    ASSERT_TRUE(heading.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(40, 0, 240, 20), &top, 2));

    EXPECT_EQ(top.GetDlgItem(1), &cells);
    EXPECT_EQ(top.GetDlgItem(2), &heading);
    EXPECT_EQ(top.GetDlgItem(3), nullptr);
    EXPECT_EQ(cells.GetDlgCtrlID(), 1);
    EXPECT_TRUE(top.IsChild(&cells));
    EXPECT_FALSE(cells.IsChild(&top));
    EXPECT_EQ(top.GetWindow(GW_CHILD), &cells);
    EXPECT_EQ(cells.GetWindow(GW_HWNDNEXT), &heading);
    EXPECT_EQ(heading.GetWindow(GW_HWNDPREV), &cells);

    CRect client;
    cells.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 198, 98)) << "the border takes one pixel on each side";
    CPoint point(0, 0);
    cells.ClientToScreen(&point);
    EXPECT_EQ(point, CPoint(141, 71));
    cells.ScreenToClient(&point);
    EXPECT_EQ(point, CPoint(0, 0));

    cells.log.clear();
    cells.MoveWindow(10, 10, 100, 60, FALSE);
    CRect window;
    cells.GetWindowRect(&window);
    EXPECT_EQ(window, CRect(110, 60, 210, 120));
    ASSERT_EQ(cells.log.size(), 1u);
    EXPECT_EQ(cells.log[0], "size 98x58");
    cells.MoveWindow(10, 10, 100, 60, FALSE);
    EXPECT_EQ(cells.log.size(), 1u) << "no size message when nothing changed";

    heading.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(top.GetWindow(GW_CHILD), &heading);
}

TEST(window_tree, visibility_follows_the_ancestors_and_styles_change_through_window_longs)
{
    recording_window top;
    recording_window child;
    top.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top, 7);
    EXPECT_FALSE(child.IsWindowVisible());
    top.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
    child.ShowWindow(SW_HIDE);
    EXPECT_FALSE(child.IsWindowVisible());

    SetWindowLongA(&child, GWL_EXSTYLE, GetWindowLongA(&child, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
    EXPECT_TRUE(child.GetExStyle() & WS_EX_LAYOUTRTL);
    child.ModifyStyle(0, WS_TABSTOP);
    EXPECT_TRUE(child.GetStyle() & WS_TABSTOP);
    child.EnableWindow(FALSE);
    EXPECT_FALSE(child.IsWindowEnabled());
    child.SetWindowText("text");
    CString text;
    child.GetWindowText(text);
    EXPECT_EQ(text, "text");
    EXPECT_EQ(child.GetWindowTextLength(), 4);
}

TEST(window_tree, creation_refused_by_the_window_or_without_a_parent_fails)
{
    recording_window orphan;
    EXPECT_FALSE(orphan.Create(nullptr, "", WS_CHILD, CRect(0, 0, 1, 1), nullptr, 1));
    recording_window refusing;
    refusing.refuse_creation = true;
    EXPECT_FALSE(refusing.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    EXPECT_EQ(refusing.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(&refusing));
}

TEST(window_tree, destroying_a_parent_destroys_its_children_first_told)
{
    recording_window top;
    auto child = std::make_unique<recording_window>();
    top.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    child->Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), &top, 1);
    child->SetFocus();
    top.DestroyWindow();
    EXPECT_FALSE(IsWindow(child.get()));
    EXPECT_EQ(child->log.back(), "destroy");
    EXPECT_EQ(CWnd::GetFocus(), nullptr);
    EXPECT_TRUE(top.children().empty());
}

TEST(window_tree, subclassing_a_dialog_item_takes_its_place)
{
    recording_window dialog;
    dialog.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0);
    CWnd before;
    CWnd placeholder;
    CWnd after;
    before.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &dialog, 1000);
    placeholder.Create("Custom", "", WS_CHILD | WS_VISIBLE, CRect(10, 20, 110, 90), &dialog, 1083);
    after.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &dialog, 1001);

    recording_window grid;
    EXPECT_FALSE(grid.SubclassDlgItem(999, &dialog));
    ASSERT_TRUE(grid.SubclassDlgItem(1083, &dialog));
    EXPECT_EQ(dialog.GetDlgItem(1083), &grid);
    EXPECT_EQ(grid.GetParent(), &dialog);
    EXPECT_EQ(grid.window_rect_in_parent(), CRect(10, 20, 110, 90));
    EXPECT_EQ(before.GetWindow(GW_HWNDNEXT), &grid);
    EXPECT_EQ(grid.GetWindow(GW_HWNDNEXT), &after);
    EXPECT_FALSE(IsWindow(&placeholder));
    EXPECT_FALSE(grid.SubclassDlgItem(1083, &dialog)) << "a window subclasses only once";
}

TEST(window_messages, handlers_get_unpacked_arguments)
{
    recording_window window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(12, 34));
    EXPECT_EQ(window.last_flags, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(window.last_point, CPoint(12, 34));
    window.SendMessage(WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(static_cast<WORD>(-3), 5));
    EXPECT_EQ(window.last_point, CPoint(-3, 5)) << "points left of the window are negative";
    window.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), MAKELPARAM(7, 8));
    EXPECT_EQ(window.last_delta, -240);
    EXPECT_EQ(window.last_flags, MK_CONTROL);
    window.SendMessage(WM_KEYDOWN, VK_DOWN, MAKELPARAM(3, 0x0150));
    EXPECT_EQ(window.last_key, static_cast<UINT>(VK_DOWN));
    EXPECT_EQ(window.last_repeat, 3u);
    EXPECT_EQ(window.last_flags, 0x0150u);
    window.dialog_code = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    EXPECT_EQ(window.SendMessage(WM_GETDLGCODE), 5);
    const UINT registered = RegisterWindowMessageA("tarvoline_test_message");
    EXPECT_GE(registered, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("tarvoline_test_message"), registered);
    EXPECT_EQ(window.SendMessage(registered, 41), 42);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(1001, 0), 0);
    EXPECT_EQ(window.log.back(), "command 1001 0");
}

TEST(window_messages, fonts_and_texts_go_through_messages)
{
    CWnd window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    CFont font;
    font.CreatePointFont(90, "DejaVu Sans");
    window.SetFont(&font);
    EXPECT_EQ(reinterpret_cast<CFont*>(window.SendMessage(WM_GETFONT)), &font);
    LOGFONTA read{};
    EXPECT_GT(GetObjectA(window.GetFont(), sizeof(read), &read), 0);
    EXPECT_EQ(read.lfHeight, -12);
    window.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("caption"));
    char buffer[4];
    EXPECT_EQ(window.SendMessage(WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, "cap");
}

TEST(window_messages, posted_messages_wait_and_skip_destroyed_windows)
{
    auto window = std::make_unique<recording_window>();
    window->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    window->PostMessage(WM_COMMAND, MAKEWPARAM(5, 0));
    EXPECT_EQ(window->log.back(), "size 10x10");
    EXPECT_EQ(platform::deliver_posted_messages(), 1);
    EXPECT_EQ(window->log.back(), "command 5 0");
    window->PostMessage(WM_COMMAND, MAKEWPARAM(6, 0));
    window.reset();
    EXPECT_EQ(platform::deliver_posted_messages(), 0);
}

TEST(window_focus, focus_moves_with_kill_before_set)
{
    recording_window top;
    recording_window first;
    recording_window second;
    top.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
    first.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top, 1);
    second.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top, 2);
    first.SetFocus();
    EXPECT_EQ(CWnd::GetFocus(), &first);
    first.log.clear();
    EXPECT_EQ(second.SetFocus(), &first);
    EXPECT_EQ(first.log.back(), "killfocus");
    EXPECT_EQ(first.last_other, &second);
    EXPECT_EQ(second.log.back(), "setfocus");
    EXPECT_EQ(second.last_other, &first);
    second.ShowWindow(SW_HIDE);
    EXPECT_EQ(CWnd::GetFocus(), nullptr) << "hiding the focus window drops the focus";
}

TEST(window_focus, capture_hand_over_tells_the_loser)
{
    recording_window first;
    recording_window second;
    first.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    second.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    first.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &first);
    second.SetCapture();
    EXPECT_EQ(first.log.back(), "capturechanged");
    EXPECT_EQ(first.last_other, &second);
    ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(second.log.back(), "capturechanged");
    EXPECT_EQ(second.last_other, nullptr);
}

TEST(window_painting, update_region_collects_invalidations_until_painted)
{
    recording_window window;
    window.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 80), nullptr, 0);
    window.UpdateWindow();
    window.log.clear();
    window.UpdateWindow();
    EXPECT_TRUE(window.log.empty()) << "nothing to paint";

    window.InvalidateRect(CRect(10, 10, 20, 20), FALSE);
    window.InvalidateRect(CRect(50, 5, 60, 15), TRUE);
    CRect pending;
    EXPECT_TRUE(window.GetUpdateRect(&pending));
    EXPECT_EQ(pending, CRect(10, 5, 60, 20));
    window.UpdateWindow();
    ASSERT_EQ(window.log.size(), 2u);
    EXPECT_EQ(window.log[0], "erase");
    EXPECT_EQ(window.log[1], "paint 10,5,60,20");
    EXPECT_FALSE(window.GetUpdateRect(nullptr));

    window.InvalidateRect(CRect(0, 0, 500, 500), FALSE);
    window.GetUpdateRect(&pending);
    EXPECT_EQ(pending, CRect(0, 0, 100, 80)) << "clipped to the client area";
    window.ValidateRect(nullptr);
    EXPECT_FALSE(window.update_pending());
}

TEST(window_painting, scrolling_moves_pending_paint_and_invalidates_the_uncovered_strip)
{
    CWnd window;
    window.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
    window.ValidateRect(nullptr);
    window.InvalidateRect(CRect(0, 50, 10, 60), FALSE);
    window.ScrollWindow(0, -20, CRect(0, 20, 100, 100));
    CRgn pending;
    pending.CreateRectRgn(0, 0, 0, 0);
    window.GetUpdateRgn(&pending);
    EXPECT_TRUE(pending.PtInRegion(5, 35)) << "the pending strip moved up with the pixels";
    EXPECT_FALSE(pending.PtInRegion(5, 55));
    EXPECT_TRUE(pending.PtInRegion(50, 85)) << "the uncovered bottom strip needs painting";
    EXPECT_FALSE(pending.PtInRegion(50, 10)) << "outside the scrolled rectangle nothing changes";
}

TEST(window_tips, tip_text_comes_from_the_hit_test_and_the_notification)
{
    recording_window window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    EXPECT_EQ(window.tool_tip_text_at(CPoint(35, 5)), "") << "tips are off until enabled";
    window.EnableToolTips(TRUE);
    EXPECT_EQ(window.tool_tip_text_at(CPoint(35, 5)), "Cell 3");
    EXPECT_EQ(window.tool_tip_text_at(CPoint(5, 5)), "");
}

TEST(window_controls, scroll_bar_clamps_and_reports_thumb_tracking_to_its_parent)
{
    recording_window parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0);
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(183, 0, 200, 200), &parent, 6));
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = 99;
    info.nPage = 20;
    bar.SetScrollInfo(&info, FALSE);
    bar.SetScrollPos(500);
    EXPECT_EQ(bar.GetScrollPos(), 80) << "the position stops where the last page begins";
    bar.user_scrolled(SB_THUMBTRACK, 37);
    EXPECT_EQ(parent.log.back(), "vscroll 5 37");
    EXPECT_EQ(parent.last_other, &bar);
    SCROLLINFO read;
    bar.GetScrollInfo(&read, SIF_ALL);
    EXPECT_EQ(read.nTrackPos, 37);
    EXPECT_EQ(read.nPos, 80) << "tracking alone does not move the position";
    bar.user_scrolled(SB_LINEDOWN, 0);
    EXPECT_EQ(parent.log.back(), "vscroll 1 0");
}

TEST(window_controls, edit_keeps_selection_limit_and_read_only)
{
    recording_window parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 100, 20), &parent, 124));
    edit.SetWindowText("hello");
    edit.SendMessage(EM_SETSEL, 5, 0);
    int start = -1;
    int end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    edit.SetSel(5, 5);
    edit.SendMessage(WM_CHAR, '!');
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "hello!");
    EXPECT_EQ(parent.log.back(), "command 124 768") << "EN_CHANGE follows EN_UPDATE";

    edit.SendMessage(EM_LIMITTEXT, 7);
    edit.SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("abc"));
    edit.GetWindowText(text);
    EXPECT_EQ(text, "hello!a") << "the limit cuts what is typed";
    edit.SetSel(0, 5);
    edit.SendMessage(WM_CLEAR);
    edit.GetWindowText(text);
    EXPECT_EQ(text, "!a");

    edit.SendMessage(EM_SETREADONLY, TRUE);
    edit.SendMessage(WM_CHAR, 'x');
    edit.GetWindowText(text);
    EXPECT_EQ(text, "!a");
    EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
    edit.SendMessage(EM_LIMITTEXT, 0xFFFFFFFF);
    EXPECT_EQ(edit.GetLimitText(), 0x7FFFFFFEu);
}

TEST(window_controls, list_box_items_selection_and_notification)
{
    recording_window parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 200, 200), nullptr, 0);
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, CRect(0, 0, 100, 100), &parent, 123));
    EXPECT_EQ(list.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
    EXPECT_EQ(list.SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("second")), 1);
    EXPECT_EQ(list.SendMessage(LB_GETCURSEL), LB_ERR);
    list.user_selected(1);
    EXPECT_EQ(list.SendMessage(LB_GETCURSEL), 1);
    EXPECT_EQ(parent.log.back(), "command 123 1");
    CString text;
    list.GetText(1, text);
    EXPECT_EQ(text, "second");
    EXPECT_EQ(list.SetCurSel(5), LB_ERR);
    EXPECT_GT(list.SendMessage(LB_GETITEMHEIGHT), 0);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCount(), 1);
}

namespace {

class helped_window : public CWnd {
public:
    int help_requests = 0;
    int help_control = -1;
    BOOL OnHelpInfo(HELPINFO* info) override
    {
        ++help_requests;
        help_control = info->iCtrlId;
        return TRUE;
    }
};

class erased_window : public CWnd {
public:
    COLORREF erase_colour = CLR_INVALID;
    BOOL OnEraseBkgnd(CDC* dc) override
    {
        const BOOL erased = CWnd::OnEraseBkgnd(dc);
        erase_colour = dc->GetBkColor();
        return erased;
    }
};

}  // namespace

TEST(window_messages, f1_asks_for_help_and_unanswered_help_goes_to_the_parent)
{
    helped_window parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    CWnd child;
    child.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), &parent, 42);
    child.SendMessage(WM_KEYDOWN, VK_F1, 1);
    EXPECT_EQ(parent.help_requests, 1);
    EXPECT_EQ(parent.help_control, 42);
    child.SendMessage(WM_KEYDOWN, VK_F2, 1);
    EXPECT_EQ(parent.help_requests, 1);
}

TEST(window_painting, class_background_may_be_a_system_colour_index)
{
    WNDCLASSA hint_class;
    hint_class.style = CS_SAVEBITS | CS_DBLCLKS;
    hint_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    hint_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_INFOBK + 1));
    hint_class.lpszClassName = "TestHintWnd";
    EXPECT_TRUE(RegisterClassA(&hint_class));
    EXPECT_FALSE(RegisterClassA(&hint_class)) << "a class registers once";
    erased_window hint;
    ASSERT_TRUE(hint.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "TestHintWnd", "", WS_POPUP | WS_BORDER,
                              CRect(0, 0, 50, 20), nullptr, 0));
    CDC dc;
    EXPECT_EQ(hint.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc)), 1);
    EXPECT_EQ(hint.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(&hint), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(cursor_id(GetCursor()), 32512);
}

TEST(window_tree, z_order_and_topmost_follow_set_window_pos)
{
    CWnd parent;
    parent.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
    CWnd first;
    CWnd second;
    CWnd third;
    first.Create(nullptr, "", WS_CHILD, CRect(0, 0, 1, 1), &parent, 1);
    second.Create(nullptr, "", WS_CHILD, CRect(0, 0, 1, 1), &parent, 2);
    third.Create(nullptr, "", WS_CHILD, CRect(0, 0, 1, 1), &parent, 3);
    first.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(parent.GetWindow(GW_CHILD), &second);
    EXPECT_EQ(first.GetWindow(GW_HWNDPREV), &third);
    first.SetWindowPos(&second, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(second.GetWindow(GW_HWNDNEXT), &first) << "placed right after the given window";
    third.SetWindowPos(&CWnd::wndTopMost, 5, 6, 7, 8, 0);
    EXPECT_TRUE(third.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(third.window_rect_in_parent(), CRect(5, 6, 12, 14));
    third.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(third.GetStyle() & WS_VISIBLE);
}

TEST(window_messages, messages_to_destroyed_windows_and_defaults_outside_handlers_are_harmless)
{
    auto window = std::make_unique<CWnd>();
    window->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    HWND handle = window->GetSafeHwnd();
    window.reset();
    EXPECT_EQ(SendMessageA(handle, WM_GETFONT, 0, 0), 0);
    EXPECT_FALSE(InvalidateRect(handle, nullptr, TRUE));
    CWnd never_created;
    EXPECT_EQ(never_created.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(never_created.Default(), 0);
    never_created.SetWindowText("kept");
    CString text;
    never_created.GetWindowText(text);
    EXPECT_EQ(text, "kept");
}

TEST(window_painting, redraw_window_reaches_the_children_when_asked)
{
    recording_window parent;
    recording_window child;
    parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0);
    child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &parent, 1);
    parent.UpdateWindow();
    child.UpdateWindow();
    parent.log.clear();
    child.log.clear();
    parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(parent.log.back(), "paint 0,0,100,100");
    EXPECT_TRUE(child.log.empty()) << "children are left alone without RDW_ALLCHILDREN";
    parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    EXPECT_TRUE(child.update_pending());
}

TEST(device_context, clip_box_and_origins_convert_between_logical_and_device)
{
    CDC dc;
    dc.SetViewportOrg(10, 20);
    CPoint point(5, 5);
    dc.LPtoDP(&point);
    EXPECT_EQ(point, CPoint(15, 25));
    dc.DPtoLP(&point);
    EXPECT_EQ(point, CPoint(5, 5));
    CRect box;
    EXPECT_EQ(dc.GetClipBox(&box), NULLREGION) << "a device context with nothing to draw on";
    dc.IntersectClipRect(0, 0, 10, 10);
    EXPECT_FALSE(dc.RectVisible(CRect(20, 20, 30, 30)));
}

TEST(window_messages, a_handler_that_throws_leaves_no_message_current)
{
    class throwing_window : public CWnd {
    public:
        void OnKeyDown(UINT, UINT, UINT) override { throw std::runtime_error("handler failed"); }
    };
    throwing_window window;
    window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    EXPECT_THROW(window.SendMessage(WM_KEYDOWN, VK_F5), std::runtime_error);
    EXPECT_EQ(CWnd::GetCurrentMessage(), nullptr) << "the dispatch stack stays balanced";
    bool default_wanted = true;
    EXPECT_THROW(window.send_toolkit_message(WM_KEYDOWN, VK_F5, 0, default_wanted), std::runtime_error);
    EXPECT_EQ(CWnd::GetCurrentMessage(), nullptr);
}
