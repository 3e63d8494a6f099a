// A dialog whose template names a menu: a real frame with its menu bar, status bar and
// controls, driven through toolkit events and, for keys, real typing into the X server.
#include "gui_support.h"

#include "platform/base/controls.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/menu.h"
#include "platform/base/virtual_keys.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_peers.h"
#include "platform/wx/wx_top_level.h"

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT window_id = 102;
constexpr UINT menu_id = 129;
constexpr UINT export_command = 32771;
constexpr UINT exit_command = 32772;
constexpr UINT compare_command = 32829;
constexpr UINT mock_copy_command = 32841;
constexpr int path_field = 1040;

void register_tables()
{
    menu_template menu;
    menu.id = menu_id;
    menu.items = {
        {0, "&File", MF_STRING, {{export_command, "Export..."}, {0, "", MF_SEPARATOR}, {exit_command, "Exit"}}},
        {0, "&Tools", MF_STRING, {{compare_command, "Compare"}}},
        {0, "&Settings", MF_STRING, {{mock_copy_command, "Mock copy", MF_STRING, {}, true}}},
    };
    platform::register_menu_template(menu);
    dialog_template table;
    table.id = window_id;
    table.caption = "Tarvoline";
    table.width = 200;
    table.height = 100;
    table.style |= WS_THICKFRAME;
    table.menu_id = menu_id;
    table.font_face = "DejaVu Sans";
    using kind = dialog_control_kind;
    table.controls = {
        {1012, kind::static_text, "Main folder", 4, 6, 50, 8},
        {path_field, kind::edit, "", 56, 4, 130, 14},
    };
    platform::register_dialog_template(table);
}

class main_window : public CDialogEx {
public:
    main_window() : CDialogEx(window_id) {}
    std::vector<std::string> heard;
    bool mock_copy = false;
    UINT disable_on_open = 0;
    CStatusBar status;
    std::vector<UINT> sizes;
    CPoint moved_to{-1, -1};
    CSize minimum{0, 0};

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
        status.Create(this);
        status.SetIndicators(indicators, 4);
        status.SetPaneText(0, "Ready");
        return TRUE;
    }
    void OnInitMenuPopup(CMenu* popup, UINT, BOOL) override
    {
        heard.push_back("initmenupopup");
        if (disable_on_open)
            popup->EnableMenuItem(disable_on_open, MF_BYCOMMAND | MF_GRAYED);
    }
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
    {
        const UINT id = LOWORD(wparam);
        if (id == mock_copy_command) {
            mock_copy = !mock_copy;
            GetMenu()->CheckMenuItem(mock_copy_command, mock_copy ? MF_CHECKED : MF_UNCHECKED);
        }
        if (id >= export_command)
            heard.push_back("command " + std::to_string(id));
        return CDialogEx::OnCommand(wparam, lparam);
    }
    void OnSize(UINT type, int width, int height) override
    {
        CDialogEx::OnSize(type, width, height);
        sizes.push_back(type);
    }
    void OnMove(int x, int y) override
    {
        CDialogEx::OnMove(x, y);
        moved_to = CPoint(x, y);
    }
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        if (message == WM_GETMINMAXINFO && minimum.cx > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
            info->ptMinTrackSize = POINT{minimum.cx, minimum.cy};
            return 0;
        }
        return CDialogEx::WindowProc(message, wparam, lparam);
    }
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == WM_KEYDOWN && message->wParam == VK_F5) {
            heard.push_back(std::string("f5 for ") + (message->hwnd == GetDlgItem(path_field) ? "field" : "other"));
            return TRUE;
        }
        if (message->message == WM_LBUTTONDBLCLK && message->hwnd == GetDlgItem(path_field)) {
            heard.push_back("double click on field");
            return TRUE;
        }
        return CDialogEx::PreTranslateMessage(message);
    }
};

class frame_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        register_tables();
        ASSERT_TRUE(window.Create(window_id));
        window.ShowWindow(SW_SHOW);
        frame = platform::frame_of(&window);
        ASSERT_NE(frame, nullptr) << "a template with a menu makes a frame";
        platform::run_toolkit_loop_until([this] { return frame->IsShownOnScreen(); });
    }
    void TearDown() override
    {
        window.DestroyWindow();
        platform::process_toolkit_events();
        platform::forget_dialog_templates();
        platform::forget_menu_templates();
    }
    wxMenu* toolkit_menu(int position) { return frame->GetMenuBar()->GetMenu(static_cast<size_t>(position)); }
    void open(int position)
    {
        wxMenuEvent opened(wxEVT_MENU_OPEN, 0, toolkit_menu(position));
        opened.SetEventObject(frame);
        frame->ProcessWindowEvent(opened);
    }
    wxMenuItem* item_of(UINT command) { return platform::toolkit_menu_item(window, command); }
    void choose(UINT command)
    {
        wxCommandEvent chosen(wxEVT_MENU, item_of(command)->GetId());
        chosen.SetEventObject(frame);
        frame->ProcessWindowEvent(chosen);
    }

    main_window window;
    wxFrame* frame = nullptr;
};

}  // namespace

TEST_F(frame_fixture, the_frame_holds_the_menu_bar_the_status_bar_and_the_dialog_client_area)
{
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), 3u);
    EXPECT_EQ(bar->GetMenuLabelText(0), "File");
    EXPECT_EQ(toolkit_menu(0)->GetMenuItemCount(), 3u);
    wxStatusBar* status = frame->GetStatusBar();
    ASSERT_NE(status, nullptr) << "the status bar is the frame's own";
    EXPECT_EQ(status->GetStatusText(0), "Ready");
    CRect client;
    window.GetClientRect(&client);
    EXPECT_EQ(platform::widget_of(window)->GetSize(), wxSize(client.Width(), client.Height()));
    EXPECT_EQ(frame->GetClientSize(), wxSize(client.Width(), client.Height()))
        << "menu bar and status bar lie outside the dialog's client area";
    gui_test::save_screen_when_drawn(window, "frame_with_menu.png");
}

TEST_F(frame_fixture, a_menu_choice_arrives_after_the_menu_opened_and_never_for_an_item_disabled_then)
{
    open(0);
    choose(export_command);
    EXPECT_EQ(window.heard, (std::vector<std::string>{"initmenupopup", "command 32771"}));

    window.heard.clear();
    window.disable_on_open = compare_command;
    open(1);
    EXPECT_FALSE(item_of(compare_command)->IsEnabled())
        << "the toolkit shows what the window decided";
    choose(compare_command);
    EXPECT_EQ(window.heard, (std::vector<std::string>{"initmenupopup"}));
}

TEST_F(frame_fixture, check_marks_are_the_windows_and_survive_reopening)
{
    wxMenuItem* item = item_of(mock_copy_command);
    ASSERT_TRUE(item->IsCheckable());
    // The toolkit toggles a check item by itself as it reports the choice.
    item->Check(true);
    choose(mock_copy_command);
    EXPECT_TRUE(window.mock_copy);
    EXPECT_TRUE(item->IsChecked());
    open(2);
    EXPECT_TRUE(item_of(mock_copy_command)->IsChecked());
    item->Check(false);
    choose(mock_copy_command);
    EXPECT_FALSE(window.mock_copy);
    open(2);
    EXPECT_FALSE(item_of(mock_copy_command)->IsChecked());

    // A check mark set on a plain item turns it into a check item.
    window.GetMenu()->CheckMenuItem(exit_command, MF_CHECKED);
    platform::run_toolkit_loop_until([this] {
        wxMenuItem* exit = item_of(exit_command);
        return exit && exit->IsCheckable() && exit->IsChecked();
    });
    EXPECT_TRUE(item_of(exit_command)->IsChecked());
}

TEST_F(frame_fixture, keys_typed_in_a_field_meet_the_window_first_and_the_rest_lands_in_the_field)
{
    auto* field = static_cast<wxTextCtrl*>(platform::widget_of(*window.GetDlgItem(path_field)));
    ASSERT_NE(field, nullptr);
    frame->Raise();
    field->SetFocus();
    ASSERT_TRUE(platform::run_toolkit_loop_until([field] { return wxWindow::FindFocus() == field; }))
        << "the field has the keyboard";
    wxUIActionSimulator typing;
    typing.Char(WXK_F5);
    typing.Text("ab");
    EXPECT_TRUE(platform::run_toolkit_loop_until([field] { return field->GetValue() == "ab"; }))
        << "typed: " << field->GetValue().utf8_str().data();
    EXPECT_EQ(window.heard, (std::vector<std::string>{"f5 for field"}));
    CString text;
    window.GetDlgItemText(path_field, text);
    EXPECT_EQ(text, "ab");

    wxMouseEvent double_click(wxEVT_LEFT_DCLICK);
    double_click.SetEventObject(field);
    double_click.m_x = 5;
    double_click.m_y = 5;
    field->GetEventHandler()->ProcessEvent(double_click);
    EXPECT_EQ(window.heard.back(), "double click on field");
}

TEST_F(frame_fixture, the_toolkit_sizes_and_places_the_window_within_its_minimum)
{
    CRect start;
    window.GetWindowRect(&start);
    window.minimum = start.Size();
    window.ShowWindow(SW_HIDE);
    window.ShowWindow(SW_SHOW);
    const wxSize client = frame->GetClientSize();

    // A resize by the toolkit (the user dragging the border) reaches the window as WM_SIZE.
    window.sizes.clear();
    frame->SetClientSize(client.GetWidth() + 120, client.GetHeight() + 60);
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] {
        CRect now;
        window.GetClientRect(&now);
        return now.Width() == client.GetWidth() + 120 && now.Height() == client.GetHeight() + 60;
    }));
    ASSERT_FALSE(window.sizes.empty());
    EXPECT_EQ(window.sizes.back(), SIZE_RESTORED);
    EXPECT_EQ(platform::widget_of(window)->GetSize(), frame->GetClientSize()) << "the panel follows";

    // Smaller than the minimum is refused.
    frame->SetClientSize(40, 30);
    platform::process_toolkit_events();
    EXPECT_GE(frame->GetClientSize().GetWidth(), client.GetWidth());
    EXPECT_GE(frame->GetClientSize().GetHeight(), client.GetHeight());

    // The program places the real window.
    window.SetWindowPos(nullptr, 140, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return frame->GetPosition() == wxPoint(140, 90); }));
    CRect placed;
    window.GetWindowRect(&placed);
    EXPECT_EQ(placed.TopLeft(), CPoint(140, 90));
    EXPECT_EQ(window.moved_to, CPoint(140, 90));
}

TEST_F(frame_fixture, maximising_and_restoring_report_the_state_and_keep_the_restored_rectangle)
{
    CRect normal;
    window.GetWindowRect(&normal);
    // Without a window manager the toolkit changes the state of an unmapped window only, so
    // the toolkit is asked directly while the window is hidden, as a window manager would.
    window.ShowWindow(SW_HIDE);
    window.sizes.clear();
    frame->Maximize(true);
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return window.IsZoomed() != FALSE; }))
        << "the toolkit reported the maximised window";
    ASSERT_FALSE(window.sizes.empty());
    EXPECT_EQ(window.sizes.back(), SIZE_MAXIMIZED);
    EXPECT_TRUE(window.GetStyle() & WS_MAXIMIZE) << "what a close handler reads";
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(window.GetWindowPlacement(&placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(CRect(placement.rcNormalPosition), normal);

    frame->Maximize(false);
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return !window.IsZoomed(); }));
    EXPECT_EQ(window.sizes.back(), SIZE_RESTORED);
    EXPECT_FALSE(window.IsIconic());
    CRect restored;
    window.GetWindowRect(&restored);
    EXPECT_EQ(restored, normal);

    // The program's own request goes to the toolkit, which reports it the same way.
    window.ShowWindow(SW_MAXIMIZE);
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return window.IsZoomed() != FALSE; }));
    EXPECT_TRUE(window.IsWindowVisible()) << "maximising shows the window";
}

TEST(frame_window, a_frame_runs_modally_until_its_dialog_ends)
{
    gui_test::start_toolkit();
    register_tables();
    // The run ends as the user would end it: a menu choice whose handler ends the dialog.
    class ending_window : public main_window {
    public:
        BOOL OnInitDialog() override
        {
            const BOOL answer = main_window::OnInitDialog();
            made.set_value();
            return answer;
        }
        BOOL OnCommand(WPARAM wparam, LPARAM lparam) override
        {
            if (LOWORD(wparam) == exit_command) {
                EndDialog(7);
                return TRUE;
            }
            return main_window::OnCommand(wparam, lparam);
        }
        std::promise<void> made;
    } modal;
    std::future<void> window_made = modal.made.get_future();
    std::thread chooser([&modal, &window_made] {
        // From another thread, as a worker would: the choice is posted to the UI thread once the
        // window is there to take it.
        if (window_made.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ADD_FAILURE() << "the modal window was never made";
            return;
        }
        EXPECT_TRUE(platform::post_to_window(&modal, [&modal] {
            wxFrame* frame = platform::frame_of(&modal);
            wxCommandEvent chosen(wxEVT_MENU, platform::toolkit_menu_item(modal, exit_command)->GetId());
            chosen.SetEventObject(frame);
            frame->ProcessWindowEvent(chosen);
        }));
    });
    const INT_PTR result = modal.DoModal();
    chooser.join();
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(modal.GetSafeHwnd()) << "the window is gone after the run";
    platform::forget_dialog_templates();
    platform::forget_menu_templates();
}
