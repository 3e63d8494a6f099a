// The progress dialog as a real window: its toolkit controls follow the steps, and the toolkit's
// Cancel button hides it.

#include "platform/gui/gui_support.h"

#include "app/ProgressDialog.h"
#include "platform/wx/wx_peers.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <chrono>

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
