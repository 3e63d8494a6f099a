// Windows in the toolkit's real main loop: paints the toolkit asks for, work posted from other
// threads, a context menu asked for by a right click, and UpdateWindow showing a change while
// the UI thread is busy.
#include "gui_support.h"

#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/screenshot.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/toplevel.h>

#include <atomic>
#include <thread>

namespace {

// Paints its client area in a colour that tells its width, so a repaint after a resize shows.
class size_painter : public CWnd {
public:
    int paints = 0;
    void OnPaint() override
    {
        CPaintDC dc(this);
        ++paints;
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, client.Width() > 300 ? RGB(0, 120, 255) : RGB(255, 160, 0));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnSize(UINT type, int width, int height) override
    {
        CWnd::OnSize(type, width, height);
        Invalidate(FALSE);
    }
};

class context_listener : public CWnd {
public:
    CWnd* asked_for = nullptr;
    CPoint at;
    void OnContextMenu(CWnd* window, CPoint point) override
    {
        asked_for = window;
        at = point;
    }
};

}  // namespace

TEST(real_loop, a_window_resized_by_the_toolkit_repaints_without_being_told)
{
    gui_test::start_toolkit();
    size_painter window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "painted", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(60, 60, 300, 200), nullptr, 0));
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return gui_test::pixel_at(window, 10, 10) == RGB(255, 160, 0); }))
        << "the first paint came from the loop";
    wxWindow* top = wxGetTopLevelParent(platform::widget_of(window));
    top->SetClientSize(400, 200);
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return gui_test::pixel_at(window, 350, 10) == RGB(0, 120, 255); }))
        << "the invalidated window was painted by the loop, at its new size";
    EXPECT_EQ(gui_test::pixel_at(window, 10, 10), RGB(0, 120, 255));
    window.DestroyWindow();
}

TEST(real_loop, work_posted_from_threads_runs_in_the_loop_on_the_ui_thread)
{
    gui_test::start_toolkit();
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    const std::thread::id ui_thread = std::this_thread::get_id();
    std::atomic<int> ran{0};
    std::atomic<int> elsewhere{0};
    std::thread worker([&] {
        for (int index = 0; index < 50; ++index)
            platform::post_to_window(&window, [&] {
                elsewhere += std::this_thread::get_id() != ui_thread;
                ++ran;
            });
    });
    worker.join();
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return ran == 50; }));
    EXPECT_EQ(elsewhere, 0);
    window.DestroyWindow();
}

TEST(real_loop, a_right_click_nobody_takes_asks_the_parent_for_a_context_menu)
{
    gui_test::start_toolkit();
    context_listener top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, CRect(100, 100, 400, 300), nullptr, 0));
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 20, 110, 120), &top, 5));
    wxWindow* widget = platform::widget_of(child);
    wxMouseEvent released(wxEVT_RIGHT_UP);
    released.SetEventObject(widget);
    released.m_x = 7;
    released.m_y = 8;
    widget->GetEventHandler()->ProcessEvent(released);
    EXPECT_EQ(top.asked_for, &child);
    EXPECT_EQ(top.at, CPoint(117, 128)) << "screen coordinates";
    top.DestroyWindow();
}

TEST(real_loop, update_window_shows_a_change_while_the_ui_thread_is_busy)
{
    gui_test::start_toolkit();
    dialog_template table;
    table.id = 4401;
    table.caption = "Merging";
    table.width = 160;
    table.height = 30;
    table.font_face = "DejaVu Sans";
    table.controls = {{1, dialog_control_kind::static_text, "", 4, 4, 150, 20}};
    platform::register_dialog_template(table);
    CDialog progress;
    ASSERT_TRUE(progress.Create(4401));
    progress.ShowWindow(SW_SHOW);
    auto dark_pixels = [&] {
        const wxImage screen = platform::screen_image(progress);
        int dark = 0;
        for (int y = 0; screen.IsOk() && y < screen.GetHeight(); ++y)
            for (int x = 0; x < screen.GetWidth(); ++x)
                dark += screen.GetRed(x, y) < 80 && screen.GetGreen(x, y) < 80 && screen.GetBlue(x, y) < 80;
        return dark;
    };
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return platform::screen_image(progress).IsOk() && dark_pixels() == 0; }))
        << "an empty dialog on screen";
    // No loop runs from here on: a long merge step on the UI thread.
    progress.SetDlgItemText(1, "Copying /data/a.bin...");
    progress.UpdateWindow();
    EXPECT_GT(dark_pixels(), 20) << "the new text is on the display";
    progress.DestroyWindow();
    platform::forget_dialog_templates();
}

TEST(real_loop, update_window_draws_a_dialog_shown_inside_a_long_task_and_runs_no_posted_work)
{
    gui_test::start_toolkit();
    dialog_template table;
    table.id = 4402;
    table.caption = "Merging";
    table.width = 160;
    table.height = 30;
    table.font_face = "DejaVu Sans";
    table.controls = {{1, dialog_control_kind::static_text, "", 4, 4, 150, 20}};
    platform::register_dialog_template(table);
    CDialog progress;
    int dark_on_screen = -1;
    int posted_ran_inside = -1;
    std::atomic<int> posted_ran{0};
    bool done = false;
    // One task on the UI thread, as a merge started from the menu: the loop never gets back
    // in between, so the dialog's first showing and its change reach the screen through
    // UpdateWindow alone.
    wxTheApp->CallAfter([&] {
        ASSERT_TRUE(progress.Create(4402));
        progress.ShowWindow(SW_SHOW);
        platform::post_to_window(&progress, [&] { ++posted_ran; });
        progress.SetDlgItemText(1, "Copying /data/a.bin...");
        progress.UpdateWindow();
        posted_ran_inside = posted_ran;
        const wxImage screen = platform::screen_image(progress);
        dark_on_screen = 0;
        for (int y = 0; screen.IsOk() && y < screen.GetHeight(); ++y)
            for (int x = 0; x < screen.GetWidth(); ++x)
                dark_on_screen += screen.GetRed(x, y) < 80 && screen.GetGreen(x, y) < 80 && screen.GetBlue(x, y) < 80;
        const int total = screen.IsOk() ? screen.GetWidth() * screen.GetHeight() : 0;
        // A window the toolkit never drew is all black: the text is dark, the rest is not.
        if (dark_on_screen > total / 2)
            dark_on_screen = -dark_on_screen;
        done = true;
    });
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return done; }));
    EXPECT_GT(dark_on_screen, 20) << "the text is on the display, on a drawn dialog";
    EXPECT_EQ(posted_ran_inside, 0) << "posted work waits for the loop";
    EXPECT_TRUE(platform::run_toolkit_loop_until([&] { return posted_ran == 1; }));
    progress.DestroyWindow();
    platform::forget_dialog_templates();
}
