#include "gui_support.h"

#include "platform/base/controls.h"
#include "platform/base/library.h"
#include "platform/base/system_services.h"
#include "platform/base/theme_api.h"
#include "platform/base/virtual_keys.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/listbox.h>
#include <wx/scrolbar.h>
#include <wx/textctrl.h>
#include <wx/tooltip.h>
#include <wx/utils.h>

#include <string>
#include <vector>

// Last: the X headers define short macro names.
#include <X11/Xlib.h>

namespace {

// A window that notes the messages its handlers got.
class listening_window : public CWnd {
public:
    std::vector<std::string> heard;
    UINT flags = 0;
    CPoint point;
    UINT key = 0;
    UINT character = 0;
    short delta = 0;
    bool shift_down_during_press = false;
    UINT scroll_code = 99;
    UINT scroll_position = 0;
    CScrollBar* scroll_bar = nullptr;
    int paints = 0;

    void OnLButtonDown(UINT message_flags, CPoint at) override
    {
        heard.push_back("lbuttondown");
        flags = message_flags;
        point = at;
        shift_down_during_press = GetKeyState(VK_SHIFT) < 0;
    }
    void OnLButtonUp(UINT message_flags, CPoint at) override
    {
        heard.push_back("lbuttonup");
        flags = message_flags;
        point = at;
    }
    void OnLButtonDblClk(UINT message_flags, CPoint at) override
    {
        heard.push_back("lbuttondblclk");
        flags = message_flags;
        point = at;
    }
    void OnRButtonDown(UINT message_flags, CPoint at) override
    {
        heard.push_back("rbuttondown");
        flags = message_flags;
        point = at;
    }
    void OnMouseMove(UINT message_flags, CPoint at) override
    {
        heard.push_back("mousemove");
        flags = message_flags;
        point = at;
    }
    BOOL OnMouseWheel(UINT message_flags, short wheel, CPoint at) override
    {
        heard.push_back("wheel");
        flags = message_flags;
        delta = wheel;
        point = at;
        return TRUE;
    }
    void OnKeyDown(UINT pressed, UINT, UINT) override
    {
        heard.push_back("keydown");
        key = pressed;
    }
    void OnKeyUp(UINT released, UINT, UINT) override
    {
        heard.push_back("keyup");
        key = released;
    }
    void OnChar(UINT typed, UINT, UINT) override
    {
        heard.push_back("char");
        character = typed;
    }
    BOOL OnSetCursor(CWnd*, UINT, UINT) override
    {
        heard.push_back("setcursor");
        ::SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    void OnVScroll(UINT code, UINT position, CScrollBar* bar) override
    {
        scroll_code = code;
        scroll_position = position;
        scroll_bar = bar;
    }
    void OnPaint() override
    {
        CPaintDC dc(this);
        ++paints;
        dc.FillSolidRect(CRect(0, 0, 5, 5), RGB(0, 0, 200));
    }
};

void send_mouse(wxWindow* widget, wxEventType type, int x, int y, bool left, bool shift, bool control)
{
    wxMouseEvent event(type);
    event.SetEventObject(widget);
    event.m_x = x;
    event.m_y = y;
    event.m_leftDown = left;
    event.m_shiftDown = shift;
    event.m_controlDown = control;
    widget->GetEventHandler()->ProcessEvent(event);
}

void send_key(wxWindow* widget, wxEventType type, int code, int unicode = 0)
{
    wxKeyEvent event(type);
    event.SetEventObject(widget);
    event.m_keyCode = code;
    event.m_uniChar = static_cast<wxChar>(unicode);
    widget->GetEventHandler()->ProcessEvent(event);
}

class input_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        ASSERT_TRUE(top.CreateEx(0, nullptr, "input", WS_POPUP | WS_VISIBLE, CRect(40, 40, 440, 340), nullptr, 0));
        ASSERT_TRUE(first.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 110, 110), &top, 1));
        ASSERT_TRUE(second.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(200, 10, 300, 110), &top, 2));
        platform::process_toolkit_events();
    }
    void TearDown() override
    {
        ReleaseCapture();
        top.DestroyWindow();
        platform::process_toolkit_events();
        platform::reset_key_table();
    }

    listening_window top;
    listening_window first;
    listening_window second;
};

}  // namespace

TEST_F(input_fixture, mouse_buttons_arrive_with_mk_flags_and_client_points)
{
    wxWindow* widget = platform::widget_of(first);
    ASSERT_NE(widget, nullptr);
    send_mouse(widget, wxEVT_LEFT_DOWN, 21, 31, true, true, false);
    ASSERT_FALSE(first.heard.empty());
    EXPECT_EQ(first.heard.back(), "lbuttondown");
    EXPECT_EQ(first.flags, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(first.point, CPoint(20, 30)) << "points are in the client area, inside the border";
    EXPECT_TRUE(first.shift_down_during_press) << "the key state is that of the event";
    send_mouse(widget, wxEVT_LEFT_UP, 21, 31, false, false, true);
    EXPECT_EQ(first.heard.back(), "lbuttonup");
    EXPECT_EQ(first.flags, MK_CONTROL) << "a release no longer carries its button";
    send_mouse(widget, wxEVT_LEFT_DCLICK, 5, 5, true, false, false);
    EXPECT_EQ(first.heard.back(), "lbuttondblclk");
    send_mouse(widget, wxEVT_RIGHT_DOWN, 5, 5, false, false, false);
    EXPECT_EQ(first.heard.back(), "rbuttondown");
    EXPECT_EQ(first.flags, MK_RBUTTON);
}

TEST_F(input_fixture, moves_ask_for_the_cursor_first_and_capture_routes_them)
{
    wxWindow* first_widget = platform::widget_of(first);
    wxWindow* second_widget = platform::widget_of(second);
    send_mouse(first_widget, wxEVT_MOTION, 11, 11, false, false, false);
    ASSERT_GE(first.heard.size(), 2u);
    EXPECT_EQ(first.heard[first.heard.size() - 2], "setcursor");
    EXPECT_EQ(first.heard.back(), "mousemove");
    EXPECT_EQ(cursor_id(GetCursor()), 32644);

    first.heard.clear();
    second.heard.clear();
    first.SetCapture();
    send_mouse(second_widget, wxEVT_MOTION, 5, 7, true, false, false);
    EXPECT_TRUE(second.heard.empty()) << "the captured pointer's moves go to the capturing window";
    ASSERT_FALSE(first.heard.empty());
    EXPECT_EQ(first.heard.back(), "mousemove");
    EXPECT_EQ(first.point, CPoint(194, 6)) << "converted to the capturing window's client area";
    EXPECT_EQ(first.flags, MK_LBUTTON);
    ReleaseCapture();
    send_mouse(second_widget, wxEVT_MOTION, 5, 7, false, false, false);
    EXPECT_EQ(second.heard.back(), "mousemove");
}

TEST_F(input_fixture, wheel_carries_its_delta_and_screen_point)
{
    wxWindow* widget = platform::widget_of(second);
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.SetEventObject(widget);
    event.m_x = 10;
    event.m_y = 20;
    event.m_wheelRotation = -240;
    event.m_wheelDelta = 120;
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    event.m_controlDown = true;
    widget->GetEventHandler()->ProcessEvent(event);
    ASSERT_FALSE(second.heard.empty());
    EXPECT_EQ(second.heard.back(), "wheel");
    EXPECT_EQ(second.delta, -240);
    EXPECT_EQ(second.flags, MK_CONTROL);
    EXPECT_EQ(second.point, CPoint(40 + 200 + 10, 40 + 10 + 20)) << "the wheel reports a screen point";
}

TEST_F(input_fixture, keys_arrive_as_virtual_key_codes_and_characters)
{
    wxWindow* widget = platform::widget_of(first);
    send_key(widget, wxEVT_KEY_DOWN, WXK_DOWN);
    EXPECT_EQ(first.heard.back(), "keydown");
    EXPECT_EQ(first.key, static_cast<UINT>(VK_DOWN));
    EXPECT_LT(GetKeyState(VK_DOWN), 0);
    send_key(widget, wxEVT_KEY_UP, WXK_DOWN);
    EXPECT_EQ(first.heard.back(), "keyup");
    EXPECT_GE(GetKeyState(VK_DOWN), 0);
    send_key(widget, wxEVT_KEY_DOWN, WXK_PAGEDOWN);
    EXPECT_EQ(first.key, static_cast<UINT>(VK_NEXT));
    send_key(widget, wxEVT_KEY_DOWN, WXK_F5);
    EXPECT_EQ(first.key, static_cast<UINT>(VK_F5));
    send_key(widget, wxEVT_KEY_DOWN, 'a');
    EXPECT_EQ(first.key, static_cast<UINT>('A'));
    send_key(widget, wxEVT_CHAR, 'a', 'a');
    EXPECT_EQ(first.heard.back(), "char");
    EXPECT_EQ(first.character, static_cast<UINT>('a'));
    send_key(widget, wxEVT_CHAR, WXK_RETURN, 13);
    EXPECT_EQ(first.character, 13u);
}

TEST_F(input_fixture, invalidated_windows_paint_through_the_event_loop)
{
    first.ValidateRect(nullptr);
    first.paints = 0;
    first.InvalidateRect(CRect(0, 0, 10, 10), FALSE);
    first.UpdateWindow();
    EXPECT_EQ(first.paints, 1);
    EXPECT_EQ(gui_test::pixel_at(first, 2, 2), RGB(0, 0, 200));
    EXPECT_FALSE(first.update_pending());
}

TEST_F(input_fixture, focus_follows_set_focus_into_the_toolkit)
{
    first.SetFocus();
    platform::process_toolkit_events();
    EXPECT_EQ(CWnd::GetFocus(), &first);
    second.SetFocus();
    platform::process_toolkit_events();
    EXPECT_EQ(CWnd::GetFocus(), &second);
}

TEST_F(input_fixture, scroll_bar_reports_thumb_tracking_to_its_parent)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(383, 0, 400, 280), &top, 6));
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 1000;
    info.nPage = 1;
    info.nPos = 10;
    bar.SetScrollInfo(&info);
    auto* widget = dynamic_cast<wxScrollBar*>(platform::widget_of(bar));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->GetThumbPosition(), 10);
    EXPECT_EQ(widget->GetRange(), 1001);

    wxScrollEvent tracking(wxEVT_SCROLL_THUMBTRACK, widget->GetId(), 250, wxVERTICAL);
    tracking.SetEventObject(widget);
    widget->GetEventHandler()->ProcessEvent(tracking);
    EXPECT_EQ(top.scroll_code, SB_THUMBTRACK);
    EXPECT_EQ(top.scroll_position, 250u);
    EXPECT_EQ(top.scroll_bar, &bar);

    wxScrollEvent line(wxEVT_SCROLL_LINEDOWN, widget->GetId(), 11, wxVERTICAL);
    line.SetEventObject(widget);
    widget->GetEventHandler()->ProcessEvent(line);
    EXPECT_EQ(top.scroll_code, SB_ENDSCROLL) << "a line step ends with SB_ENDSCROLL";
    EXPECT_EQ(widget->GetThumbPosition(), 10) << "the thumb shows what the program set";
    bar.DestroyWindow();
}

TEST_F(input_fixture, edit_control_reads_and_writes_the_toolkit_text)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 150, 200, 175), &top, 124));
    auto* text = dynamic_cast<wxTextCtrl*>(platform::widget_of(edit));
    ASSERT_NE(text, nullptr);
    edit.SetWindowText("hello");
    EXPECT_EQ(text->GetValue(), "hello");
    edit.SetSel(5, 5);
    edit.SendMessage(WM_CHAR, '!');
    CString read;
    edit.GetWindowText(read);
    EXPECT_EQ(read, "hello!");
    edit.SetSel(0, -1);
    int start = 0;
    int end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 6);
    edit.SendMessage(EM_SETREADONLY, TRUE);
    EXPECT_FALSE(text->IsEditable());
    edit.DestroyWindow();
}

TEST_F(input_fixture, list_box_shows_items_and_reports_a_choice)
{
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, CRect(10, 150, 200, 260), &top, 123));
    list.AddString("alpha");
    list.AddString("beta");
    list.SetCurSel(1);
    auto* box = dynamic_cast<wxListBox*>(platform::widget_of(list));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCount(), 2u);
    EXPECT_EQ(box->GetSelection(), 1);
    EXPECT_GT(list.GetItemHeight(0), 8);
    list.DestroyWindow();
}

TEST_F(input_fixture, visual_styles_module_draws_a_check_box_through_the_native_renderer)
{
    HMODULE module = LoadLibraryA("uxtheme.dll");
    ASSERT_NE(module, nullptr);
    auto open = reinterpret_cast<OpenThemeData_procedure>(GetProcAddress(module, "OpenThemeData"));
    auto draw = reinterpret_cast<DrawThemeBackground_procedure>(GetProcAddress(module, "DrawThemeBackground"));
    auto close = reinterpret_cast<CloseThemeData_procedure>(GetProcAddress(module, "CloseThemeData"));
    auto transparent = reinterpret_cast<IsThemeBackgroundPartiallyTransparent_procedure>(
        GetProcAddress(module, "IsThemeBackgroundPartiallyTransparent"));
    ASSERT_TRUE(open && draw && close && transparent);
    HTHEME theme = open(nullptr, L"BUTTON");
    ASSERT_NE(theme, nullptr);
    EXPECT_TRUE(transparent(theme, 3, 5));

    CDC* dc = second.GetDC();
    dc->FillSolidRect(CRect(0, 0, 100, 100), RGB(255, 255, 255));
    const RECT box{10, 10, 26, 26};
    EXPECT_EQ(draw(theme, dc, 3, 5, &box, nullptr), S_OK);
    second.ReleaseDC(dc);
    int drawn = 0;
    for (int y = 10; y < 26; ++y)
        for (int x = 10; x < 26; ++x)
            drawn += gui_test::pixel_at(second, x, y) != RGB(255, 255, 255) ? 1 : 0;
    EXPECT_GT(drawn, 10);
    EXPECT_EQ(close(theme), S_OK);
    FreeLibrary(module);

    HMODULE controls = LoadLibraryA("comctl32.dll");
    auto version = reinterpret_cast<DllGetVersion_procedure>(GetProcAddress(controls, "DllGetVersion"));
    ASSERT_NE(version, nullptr);
    DLLVERSIONINFO info;
    EXPECT_EQ(version(&info), S_OK);
    FreeLibrary(controls);
}

TEST(toolkit_services, metrics_and_colours_come_from_the_toolkit_with_fallbacks)
{
    gui_test::start_toolkit();
    EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYHSCROLL), 0);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXFOCUSBORDER), 1) << "no toolkit answer: the fixed value";
    EXPECT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT));
}


TEST_F(input_fixture, hint_popup_shows_its_class_background_without_activation)
{
    WNDCLASSA hint_class;
    hint_class.style = CS_SAVEBITS | CS_DBLCLKS;
    hint_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_INFOBK + 1));
    hint_class.lpszClassName = "GuiHintWnd";
    RegisterClassA(&hint_class);
    CWnd hint;
    ASSERT_TRUE(hint.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "GuiHintWnd", "", WS_POPUP | WS_BORDER,
                              CRect(0, 0, 0, 0), &top, 0));
    hint.MoveWindow(100, 100, 60, 18, TRUE);
    hint.ShowWindow(SW_SHOWNOACTIVATE);
    EXPECT_NE(CWnd::GetActiveWindow(), &hint);
    hint.UpdateWindow();
    platform::process_toolkit_events();
    EXPECT_EQ(gui_test::pixel_at(hint, 5, 5), GetSysColor(COLOR_INFOBK));
    const wxImage image = platform::window_image(hint);
    EXPECT_EQ(RGB(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0)), GetSysColor(COLOR_WINDOWFRAME))
        << "the border is drawn around the client area";
    hint.DestroyWindow();
}

TEST_F(input_fixture, tool_tip_text_follows_the_pointer)
{
    class tipped_window : public CWnd {
    public:
        INT_PTR OnToolHitTest(CPoint point, TOOLINFO* info) const override
        {
            info->hwnd = m_hWnd;
            info->uId = static_cast<UINT_PTR>(point.x);
            info->lpszText = const_cast<char*>("cell tip");
            return 1;
        }
    };
    tipped_window tipped;
    ASSERT_TRUE(tipped.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 150, 110, 200), &top, 9));
    tipped.EnableToolTips(TRUE);
    wxWindow* widget = platform::widget_of(tipped);
    send_mouse(widget, wxEVT_MOTION, 20, 20, false, false, false);
    ASSERT_NE(widget->GetToolTip(), nullptr);
    EXPECT_EQ(widget->GetToolTipText(), "cell tip");
    tipped.DestroyWindow();
}

namespace {

// Hands the focus on to its first child, as a grid control gives it to its cell area.
class focus_forwarder : public CWnd {
public:
    CWnd* target = nullptr;
    void OnSetFocus(CWnd*) override
    {
        if (target)
            target->SetFocus();
    }
};

class focus_counter : public CWnd {
public:
    int gained = 0;
    int lost = 0;
    void OnSetFocus(CWnd*) override { ++gained; }
    void OnKillFocus(CWnd*) override { ++lost; }
};

}  // namespace

TEST_F(input_fixture, focus_handed_on_inside_a_focus_handler_settles_on_the_last_window)
{
    focus_forwarder control;
    focus_counter cells;
    ASSERT_TRUE(control.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 150, 210, 250), &top, 1083));
    ASSERT_TRUE(cells.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 50), &control, 1));
    control.target = &cells;
    control.SetFocus();
    // The server's focus reports arrive late. Once a round trip has queued all it owes and the
    // toolkit has handled the queue, any bounce they could cause has happened.
    const auto settled = [&cells] {
        XSync(wxGetX11Display(), False);
        return !wxTheApp->Pending() && CWnd::GetFocus() == &cells;
    };
    ASSERT_TRUE(platform::run_toolkit_loop_until(settled));
    EXPECT_EQ(CWnd::GetFocus(), &cells);
    EXPECT_EQ(cells.lost, cells.gained - 1) << "the focus ends on the cells";
    EXPECT_LE(cells.gained, 2) << "the toolkit's late reports do not make the focus bounce";
    control.DestroyWindow();
}
