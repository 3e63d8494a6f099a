// The merge's windows on the toolkit: the "Merge file" dialog as the user sees it, and the
// progress dialog following a real merge of a few thousand files.

#include "platform/gui/gui_support.h"

#include "app/merge_fixture.h"
#include "app/gui/screen_grab.h"
#include "platform/wx/event_loop.h"
#include "platform/wx/wx_peers.h"

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

#include <algorithm>

namespace {

namespace bfs = boost::filesystem;

class merge_windows : public merge_test::merge_fixture {
protected:
    void SetUp() override
    {
        gui_test::start_toolkit();
        merge_fixture::SetUp();
    }
    void TearDown() override
    {
        platform::process_toolkit_events();
        merge_fixture::TearDown();
    }
};

TEST_F(merge_windows, merge_file_dialog_shows_both_versions_with_their_marks)
{
    settings_keys::write_colour(window.settings, settings_keys::merge_better_background, RGB(190, 240, 190));
    settings_keys::write_colour(window.settings, settings_keys::merge_worse_background, RGB(250, 200, 200));
    const bfs::path a = write_main("reports/2026/summary.ods", std::string(2050, 'm'), 1600003600);
    const bfs::path b = write_backup("reports/2026/summary.ods", std::string(1900, 'b'), 1600007200);
    on_dialog = [&](CMergeFileDlg& dialog) {
        dialog.ShowWindow(SW_SHOW);
        // The display shows the colours from the dialog's first frame on.
        wxWindow* main_size = platform::widget_of(*dialog.GetDlgItem(IDC_MERGE_MAIN_SIZE));
        wxWindow* backup_size = platform::widget_of(*dialog.GetDlgItem(IDC_MERGE_BACKUP_SIZE));
        if (!main_size || !backup_size) {
            ADD_FAILURE() << "the size fields are not the toolkit's";
            return IDCANCEL;
        }
        const auto grab = [&] { return screen_grab::top_level_on_screen(dialog); };
        EXPECT_EQ(gui_test::first_drawn_colour(grab, *main_size), wxColour(190, 240, 190));
        EXPECT_EQ(gui_test::shown_block(grab(), *backup_size), wxColour(250, 200, 200));
        EXPECT_TRUE(platform::save_window_png(dialog, "merge_file_dialog.png"));
        grab().SaveFile("merge_file_dialog_screen.png", wxBITMAP_TYPE_PNG);
        // The larger main file and the newer backup file stand out as the better ones.
        const auto background = [&](int id) {
            wxWindow* field = platform::widget_of(*dialog.GetDlgItem(id));
            return field ? field->GetBackgroundColour() : wxColour();
        };
        EXPECT_EQ(background(IDC_MERGE_MAIN_SIZE), wxColour(190, 240, 190));
        EXPECT_EQ(background(IDC_MERGE_BACKUP_SIZE), wxColour(250, 200, 200));
        EXPECT_EQ(background(IDC_MERGE_BACKUP_TIME), wxColour(190, 240, 190));
        for (int id : {IDC_MERGE_MAIN_SIZE_MARKER, IDC_MERGE_BACKUP_TIME_MARKER}) {
            auto* marker = dynamic_cast<wxStaticText*>(platform::widget_of(*dialog.GetDlgItem(id)));
            EXPECT_TRUE(marker && marker->GetLabel() == "*") << id;
        }
        return IDCANCEL;
    };
    merge.MergeFile(a, b);
    EXPECT_EQ(dialogs_shown, 1);
}

// Started from the real loop, as from the menu: the merge pumps no events, yet the bar on
// screen follows it.
TEST_F(merge_windows, progress_dialog_follows_a_merge_of_a_few_thousand_files_on_screen)
{
    constexpr int files = 2000;
    for (int file = 0; file < files; ++file)
        write_main("f" + std::to_string(file / 100) + "/" + std::to_string(file) + ".bin", std::string(100 + file % 7, 'x'));
    int steps = 0;
    double gauge_midway = -1.0;
    double painted_midway = -1.0;
    std::string label_midway;
    window.on_step = [&](CProgressDialog& progress) {
        if (++steps != files / 2)
            return;
        auto* gauge = dynamic_cast<wxGauge*>(platform::widget_of(progress.m_progress_bar));
        auto* label = dynamic_cast<wxStaticText*>(platform::widget_of(progress.m_file));
        ASSERT_TRUE(gauge && label);
        gauge_midway = gauge->GetValue() / static_cast<double>(std::max(1, gauge->GetRange()));
        label_midway = label->GetLabel().utf8_str().data();
        painted_midway = screen_grab::bar_fraction_on_screen(
            progress, progress.m_progress_bar.window_rect_in_parent(), progress.frame_width());
        platform::save_window_png(progress, "progress_dialog_mid_merge.png");
        screen_grab::top_level_on_screen(progress).SaveFile("progress_dialog_mid_merge_screen.png", wxBITMAP_TYPE_PNG);
    };

    bool merged = false;
    wxTheApp->CallAfter([&] {
        merge.OnMergeRight();
        merged = true;
    });
    ASSERT_TRUE(platform::run_toolkit_loop_until([&] { return merged; }, 120.0));

    EXPECT_EQ(steps, files);
    EXPECT_NEAR(gauge_midway, 0.5, 0.02);
    EXPECT_EQ(label_midway.rfind("Copying ", 0), 0u);
    EXPECT_NEAR(painted_midway, 0.5, 0.1) << "the bar on screen did not follow the merge";
    EXPECT_EQ(rows(), 0u);
}

}  // namespace

namespace {

// Escape pressed with the focus on one of the dialog's buttons, as the toolkit delivers it.
TEST(merge_file_dialog_window, escape_chooses_nothing_as_cancel_does)
{
    gui_test::start_toolkit();
    CMergeFileDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_MERGE_FILE));
    wxWindow* button = platform::widget_of(*dialog.GetDlgItem(IDC_MERGE_COPY_RIGHT));
    ASSERT_NE(button, nullptr);
    wxKeyEvent escape(wxEVT_KEY_DOWN);
    escape.SetEventObject(button);
    escape.m_keyCode = WXK_ESCAPE;
    button->GetEventHandler()->ProcessEvent(escape);
    EXPECT_TRUE(dialog.has_ended());
    EXPECT_EQ(dialog.end_result(), 0);
    dialog.DestroyWindow();
    platform::process_toolkit_events();
}

}  // namespace
