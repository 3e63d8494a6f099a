// The progress dialog as a real window: its toolkit controls follow the steps, and the toolkit's
// Cancel button hides it.

#include "platform/gui/gui_support.h"

#include "app/ProgressDialog.h"
#include "app/gui/screen_grab.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <chrono>
#include <cstdlib>
#include <string>

using namespace std::chrono_literals;

TEST(progress_dialog_window, toolkit_controls_follow_the_steps_and_cancel_hides_it)
{
    gui_test::start_toolkit();
    CProgressDialog dialog(nullptr);
    ASSERT_TRUE(dialog.GetSafeHwnd());
    dialog.set_formatter(format_byte_count);
    dialog.progress().set_total(4000);
    dialog.m_total = dialog.FormatBytes(4000).c_str();
    dialog.m_progress_bar.SendMessage(PBM_SETRANGE32, 0, 0x7fffffff);
    dialog.UpdateData(FALSE);
    platform::process_toolkit_events();
    EXPECT_TRUE(wxGetTopLevelParent(platform::widget_of(dialog))->IsShown());

    dialog.Step(1000, "/data/a.bin", dialog.progress().start() + 1s);
    platform::process_toolkit_events();
    auto* file = dynamic_cast<wxStaticText*>(platform::widget_of(dialog.m_file));
    auto* total = dynamic_cast<wxStaticText*>(platform::widget_of(*dialog.GetDlgItem(IDC_PROGRESS_TOTAL)));
    auto* estimate = dynamic_cast<wxStaticText*>(platform::widget_of(*dialog.GetDlgItem(IDC_PROGRESS_ESTIMATED)));
    auto* gauge = dynamic_cast<wxGauge*>(platform::widget_of(dialog.m_progress_bar));
    ASSERT_TRUE(file && total && estimate && gauge);
    EXPECT_EQ(file->GetLabel(), "Copying /data/a.bin...");
    EXPECT_EQ(total->GetLabel(), "3.91 KB");
    EXPECT_EQ(estimate->GetLabel(), "3 seconds left");
    EXPECT_NEAR(gauge->GetValue() * 4.0, gauge->GetRange(), gauge->GetRange() / 1000.0);
    platform::save_window_png(dialog, "progress_dialog.png");

    auto* cancel = dynamic_cast<wxButton*>(platform::widget_of(*dialog.GetDlgItem(IDC_PROGRESS_CANCEL)));
    ASSERT_NE(cancel, nullptr);
    wxCommandEvent pressed(wxEVT_BUTTON, cancel->GetId());
    pressed.SetEventObject(cancel);
    cancel->ProcessWindowEvent(pressed);
    platform::process_toolkit_events();
    EXPECT_TRUE(dialog.has_ended());
    EXPECT_FALSE(wxGetTopLevelParent(platform::widget_of(dialog))->IsShown());

    dialog.Step(3000, "/data/b.bin", dialog.progress().start() + 2s);
    EXPECT_EQ(dialog.progress().done(), 4000u);
    dialog.DestroyWindow();
    platform::process_toolkit_events();
    platform::forget_dialog_templates();
}

// Large files: one step, then a long copy during which no event is handled. What the step drew
// must already be the fraction Done shows. Run from the real loop, as a merge is from the menu.
TEST(progress_dialog_window, the_bar_on_screen_shows_the_fraction_done_shows_without_the_loop_running)
{
    gui_test::start_toolkit();
    constexpr std::uint64_t gigabyte = 1024ull * 1024 * 1024;
    std::string done;
    double painted = -1.0;
    bool finished = false;
    wxTheApp->CallAfter([&] {
        CProgressDialog dialog(nullptr);
        const auto show_now = [&] {
            dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        };
        dialog.set_formatter(format_byte_count);
        dialog.progress().set_total(3 * gigabyte);
        dialog.m_total = dialog.FormatBytes(3 * gigabyte).c_str();
        dialog.m_progress_bar.SendMessage(PBM_SETRANGE32, 0, 0x7fffffff);
        dialog.UpdateData(FALSE);
        show_now();
        for (const char* name : {"/data/one.bin", "/data/two.bin"}) {
            dialog.Step(gigabyte, name);
            show_now();
        }
        done = dialog.m_done.GetString();
        // The server draws what it was sent in its own time; nothing more is sent while waiting.
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        do {
            painted = screen_grab::bar_fraction_on_screen(dialog, dialog.m_progress_bar.window_rect_in_parent(),
                                                          dialog.frame_width());
        } while ((painted < 0.6 || painted > 0.75) && std::chrono::steady_clock::now() < deadline);
        if (const char* folder = std::getenv("TARVOLINE_SHOT_DIR"))
            screen_grab::top_level_on_screen(dialog).SaveFile(
                std::string(folder) + "/progress_dialog_two_of_three_gigabytes.png", wxBITMAP_TYPE_PNG);
        finished = true;
    });
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return finished; }, 60.0));
    EXPECT_EQ(done, "2.00 GB");
    EXPECT_NEAR(painted, 2.0 / 3.0, 0.07) << "the bar on screen lags behind Done";
    platform::process_toolkit_events();
    platform::forget_dialog_templates();
}
