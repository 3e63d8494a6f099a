// The merge's windows on the toolkit: the "Merge file" dialog as the user sees it, and the
// progress dialog following a real merge of a few thousand files.

#include "platform/gui/gui_support.h"

#include "app/merge_fixture.h"
#include "platform/wx/wx_peers.h"

#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

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
        platform::process_toolkit_events();
        EXPECT_TRUE(platform::save_window_png(dialog, "merge_file_dialog.png"));
        for (int id : {IDC_MERGE_MAIN_SIZE_MARKER, IDC_MERGE_BACKUP_TIME_MARKER}) {
            auto* marker = dynamic_cast<wxStaticText*>(platform::widget_of(*dialog.GetDlgItem(id)));
            EXPECT_TRUE(marker && marker->GetLabel() == "*") << id;
        }
        return IDCANCEL;
    };
    merge.MergeFile(a, b);
    EXPECT_EQ(dialogs_shown, 1);
}

TEST_F(merge_windows, progress_dialog_follows_a_merge_of_a_few_thousand_files)
{
    constexpr int files = 3000;
    for (int file = 0; file < files; ++file)
        write_main("f" + std::to_string(file / 100) + "/" + std::to_string(file) + ".bin", std::string(100 + file % 7, 'x'));
    int steps = 0;
    int gauge_midway = -1;
    std::string label_midway;
    window.on_step = [&](CProgressDialog& progress) {
        if (++steps != files / 2)
            return;
        auto* gauge = dynamic_cast<wxGauge*>(platform::widget_of(progress.m_progress_bar));
        auto* label = dynamic_cast<wxStaticText*>(platform::widget_of(progress.m_file));
        ASSERT_TRUE(gauge && label);
        gauge_midway = gauge->GetValue();
        label_midway = label->GetLabel().utf8_str().data();
        platform::save_window_png(progress, "progress_dialog_mid_merge.png");
    };

    merge.OnMergeRight();

    EXPECT_EQ(steps, files);
    EXPECT_GT(gauge_midway, 0);
    EXPECT_LT(gauge_midway, 0x7fffffff);
    EXPECT_EQ(label_midway.rfind("Copying ", 0), 0u);
    EXPECT_EQ(rows(), 0u);
}

}  // namespace
