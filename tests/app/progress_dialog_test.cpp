// The progress dialog of a merge, built from its resource table without a display.

#include "app/ProgressDialog.h"

#include "platform/base/dialog_controls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace std::chrono_literals;

namespace {

class progress_dialog_test : public ::testing::Test {
protected:
    void TearDown() override { platform::forget_dialog_templates(); }

    static std::string text_of(const CProgressDialog& dialog, int id)
    {
        CString text;
        dialog.GetDlgItemText(id, text);
        return text.GetString();
    }
    static int bar_of(const CProgressDialog& dialog)
    {
        return static_cast<CProgressCtrl*>(dialog.GetDlgItem(IDC_PROGRESS_BAR))->GetPos();
    }
    // What the merge does before its first step.
    static void prepare(CProgressDialog& dialog, std::uint64_t total)
    {
        dialog.set_formatter(format_byte_count);
        dialog.progress().set_total(total);
        dialog.m_total = dialog.FormatBytes(total).c_str();
        dialog.m_progress_bar.SendMessage(PBM_SETRANGE32, 0, 0x7fffffff);
        dialog.UpdateData(FALSE);
    }
};

}  // namespace

TEST_F(progress_dialog_test, opens_visible_with_its_controls_and_zero_texts)
{
    CProgressDialog dialog(nullptr);
    ASSERT_TRUE(dialog.GetSafeHwnd());
    EXPECT_TRUE(dialog.IsWindowVisible());
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_EQ(caption, "");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_FILE), "Progress");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_TOTAL_LABEL), "Total");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE_LABEL), "Done");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_ESTIMATED_LABEL), "Estimated");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_CANCEL), "Cancel");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_TOTAL), "0");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE), "0");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_ESTIMATED), "0 seconds left");
    EXPECT_EQ(bar_of(dialog), 0);
    EXPECT_EQ(dialog.GetDlgItem(IDC_PROGRESS_BAR), &dialog.m_progress_bar);
    EXPECT_EQ(dialog.GetDlgItem(IDC_PROGRESS_FILE), &dialog.m_file);
}

TEST_F(progress_dialog_test, byte_counts_pass_through_the_formatter_only_when_one_is_set)
{
    CProgressDialog dialog(nullptr);
    EXPECT_EQ(dialog.FormatBytes(1234567), "1234567");
    EXPECT_EQ(dialog.ApplyFormatter("12a"), "12a");
    dialog.set_formatter(format_byte_count);
    EXPECT_EQ(dialog.FormatBytes(1536), "1.50 KB");
    EXPECT_EQ(dialog.FormatBytes(1000), "1000 B");
    EXPECT_EQ(dialog.FormatBytes(1024), "1 KB");  // no decimals up to 1024 bytes
    EXPECT_EQ(dialog.FormatBytes(5ull << 30), "5.00 GB");

    EXPECT_EQ(format_byte_count("1025"), "1.00 KB");
    EXPECT_EQ(format_byte_count("18446744073709551615"), "16.00 EB");
    EXPECT_EQ(format_byte_count("not a number"), "not a number");
    EXPECT_EQ(format_byte_count("-5"), "-5");
    EXPECT_EQ(format_byte_count(""), "");
}

TEST_F(progress_dialog_test, a_step_shows_the_file_the_bytes_done_the_bar_and_the_time_left)
{
    CProgressDialog dialog(nullptr);
    prepare(dialog, 5000);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_TOTAL), "4.88 KB");

    const auto start = dialog.progress().start();
    dialog.Step(1000, "/home/ann/report.txt", start + 2s);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_FILE), "Copying /home/ann/report.txt...");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE), "1000 B");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_ESTIMATED), "8 seconds left");
    EXPECT_EQ(bar_of(dialog), 429496729);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_TOTAL), "4.88 KB");

    dialog.Step(1500, "/home/ann/notes.md", start + 3500ms);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_FILE), "Copying /home/ann/notes.md...");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE), "2.44 KB");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_ESTIMATED), "4 seconds left");  // 3.5 s, rounded

    dialog.Step(9000, "/home/ann/photo.jpg", start + 4s);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE), "4.88 KB");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_ESTIMATED), "0 seconds left");
    EXPECT_EQ(bar_of(dialog), 2147483647);
}

TEST_F(progress_dialog_test, an_empty_merge_shows_a_full_bar_and_no_time_left)
{
    CProgressDialog empty_merge(nullptr);
    prepare(empty_merge, 0);
    empty_merge.Step(0, "a", empty_merge.progress().start() + 1s);
    EXPECT_EQ(text_of(empty_merge, IDC_PROGRESS_DONE), "0 B");
    EXPECT_EQ(text_of(empty_merge, IDC_PROGRESS_ESTIMATED), "0 seconds left");
    EXPECT_EQ(bar_of(empty_merge), 2147483647);

}

TEST_F(progress_dialog_test, only_the_cancel_button_closes_it_and_the_steps_go_on)
{
    CProgressDialog dialog(nullptr);
    prepare(dialog, 300);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog.SendMessage(WM_CLOSE);
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_FALSE(dialog.has_ended());

    dialog.GetDlgItem(IDC_PROGRESS_CANCEL)->SendMessage(BM_CLICK);
    EXPECT_TRUE(dialog.has_ended());
    EXPECT_EQ(dialog.end_result(), IDCANCEL);
    EXPECT_FALSE(dialog.IsWindowVisible());

    const auto start = dialog.progress().start();
    dialog.Step(100, "one", start + 1s);
    dialog.Step(200, "two", start + 2s);
    EXPECT_EQ(dialog.progress().done(), 300u);
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_DONE), "300 B");
    EXPECT_EQ(text_of(dialog, IDC_PROGRESS_FILE), "Copying two...");
}
