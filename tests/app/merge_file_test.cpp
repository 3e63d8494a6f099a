// The single-file merge: a double click on a result row, and the "Merge file" dialog with its
// marks, colours and buttons, on real files.

#include "app/merge_fixture.h"

#include "platform/base/dc.h"
#include "platform/base/process_launcher.h"

namespace {

using merge_test::merge_fixture;
namespace bfs = boost::filesystem;

using merge_row = merge_fixture;
using merge_file_dialog = merge_fixture;

constexpr COLORREF better_background = RGB(200, 255, 200);
constexpr COLORREF worse_background = RGB(255, 200, 200);
constexpr COLORREF better_text = RGB(0, 100, 0);
constexpr COLORREF worse_text = RGB(150, 0, 0);

// The row number (from 0) of the row naming `name` on either side.
long row_of(const data::data_table& table, const std::string& name)
{
    for (std::size_t row = 0; row < table.rows.size(); ++row)
        if (table.rows[row]->cells[1] == name || table.rows[row]->cells[6] == name)
            return static_cast<long>(row);
    return -1;
}

// ---- Double click on a row ----

TEST_F(merge_row, a_one_sided_row_is_copied_without_a_dialog_and_removed)
{
    write_main("sub/a.txt", "main only", 1500000000);
    write_backup("b.txt", "backup only", 1500000100);
    write_main("c.txt", "other");
    ASSERT_TRUE(window.compare_folders());
    ASSERT_EQ(rows(), 3u);

    merge.MergeRow(row_of(*window.archive.result, "a.txt"));
    merge.MergeRow(row_of(*window.archive.result, "b.txt"));

    EXPECT_EQ(read(backup_root / "sub" / "a.txt"), "main only");
    EXPECT_EQ(read(main_root / "b.txt"), "backup only");
    EXPECT_EQ(modified(main_root / "b.txt"), 1500000100);
    EXPECT_EQ(dialogs_shown, 0);
    EXPECT_EQ(rows(), 1u);
    EXPECT_EQ(window.texts(-1), std::vector<std::string>({"2 difference(s) remaining\n", "1 difference(s) remaining\n"}));
    EXPECT_EQ(window.repaints, 2);
    EXPECT_TRUE(window.texts(logger::error).empty());
}

TEST_F(merge_row, a_vanished_source_or_a_target_that_appeared_keeps_the_row)
{
    const bfs::path gone = write_main("gone.txt", "soon gone");
    write_main("taken.txt", "main");
    ASSERT_TRUE(window.compare_folders());
    bfs::remove(gone);
    write_backup("taken.txt", "written after the comparison");

    merge.MergeRow(row_of(*window.archive.result, "gone.txt"));
    merge.MergeRow(row_of(*window.archive.result, "taken.txt"));

    EXPECT_EQ(rows(), 2u);
    EXPECT_EQ(read(backup_root / "taken.txt"), "written after the comparison");
    const auto errors = window.texts(logger::error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Merge row: " + gone.string() + " does not exist");
    EXPECT_NE(errors[1].find("changed since the comparison"), std::string::npos);
}

TEST_F(merge_row, a_row_on_both_sides_opens_the_dialog_and_stays)
{
    write_main("a.txt", "main", 1600000000);
    write_backup("a.txt", "backup!", 1600000100);
    ASSERT_TRUE(window.compare_folders());
    on_dialog = [](CMergeFileDlg&) { return IDC_MERGE_COPY_RIGHT; };

    merge.MergeRow(0);
    merge.MergeRow(5);

    EXPECT_EQ(dialogs_shown, 1);
    EXPECT_EQ(read(backup_root / "a.txt"), "main");
    EXPECT_EQ(rows(), 1u);
    EXPECT_EQ(window.texts(-1), std::vector<std::string>({"1 difference(s) remaining\n"}));
    EXPECT_EQ(window.texts(logger::error), std::vector<std::string>({"Merge row: there is no row 6"}));
}

// ---- The dialog ----

class merge_file_dialog_colours : public merge_fixture {
protected:
    void SetUp() override
    {
        merge_fixture::SetUp();
        settings_keys::write_colour(window.settings, settings_keys::merge_better_background, better_background);
        settings_keys::write_colour(window.settings, settings_keys::merge_worse_background, worse_background);
        settings_keys::write_colour(window.settings, settings_keys::merge_better_foreground, better_text);
        settings_keys::write_colour(window.settings, settings_keys::merge_worse_foreground, worse_text);
    }
    // Colours the dialog gives one control through WM_CTLCOLOREDIT: text and brush, or the
    // base answer (null) for a control it leaves alone.
    static std::pair<COLORREF, COLORREF> colours(CMergeFileDlg& dialog, int id)
    {
        CDC dc;
        dc.SetTextColor(RGB(1, 2, 3));
        auto* brush = reinterpret_cast<CBrush*>(dialog.SendMessage(
            WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id))));
        return {dc.GetTextColor(), brush ? brush->colour() : CLR_INVALID};
    }
};

TEST_F(merge_file_dialog_colours, larger_but_older_main_marks_main_size_and_backup_time)
{
    const bfs::path a = write_main("a.txt", "0123456789ab", 1600003600);
    const bfs::path b = write_backup("a.txt", "0123456789", 1600007200);
    std::map<int, std::pair<COLORREF, COLORREF>> seen;
    std::vector<std::string> texts;
    on_dialog = [&](CMergeFileDlg& dialog) {
        for (int id : {IDC_MERGE_MAIN_SIZE, IDC_MERGE_BACKUP_SIZE, IDC_MERGE_MAIN_TIME, IDC_MERGE_BACKUP_TIME,
                       IDC_MERGE_MAIN_FOLDER})
            seen[id] = colours(dialog, id);
        for (int id : {IDC_MERGE_NAME, IDC_MERGE_MAIN_FOLDER, IDC_MERGE_BACKUP_FOLDER, IDC_MERGE_MAIN_SIZE,
                       IDC_MERGE_BACKUP_SIZE, IDC_MERGE_MAIN_SIZE_MARKER, IDC_MERGE_BACKUP_SIZE_MARKER,
                       IDC_MERGE_MAIN_TIME_MARKER, IDC_MERGE_BACKUP_TIME_MARKER}) {
            CString text;
            dialog.GetDlgItemText(id, text);
            texts.push_back(text.GetString());
        }
        EXPECT_TRUE(dialog.GetDlgItem(IDC_MERGE_COPY_RIGHT)->IsWindowEnabled());
        EXPECT_TRUE(dialog.GetDlgItem(IDC_MERGE_COPY_LEFT)->IsWindowEnabled());
        return IDCANCEL;
    };

    merge.MergeFile(a, b);

    EXPECT_EQ(texts, std::vector<std::string>({"a.txt", main_root.string(), backup_root.string(), "12 B", "10 B", "*",
                                               "", "", "*"}));
    EXPECT_EQ(seen[IDC_MERGE_MAIN_SIZE], std::make_pair(better_text, better_background));
    EXPECT_EQ(seen[IDC_MERGE_BACKUP_TIME], std::make_pair(better_text, better_background));
    EXPECT_EQ(seen[IDC_MERGE_BACKUP_SIZE], std::make_pair(worse_text, worse_background));
    EXPECT_EQ(seen[IDC_MERGE_MAIN_TIME], std::make_pair(worse_text, worse_background));
    EXPECT_EQ(seen[IDC_MERGE_MAIN_FOLDER], std::make_pair(RGB(1, 2, 3), CLR_INVALID));
    // Cancel copies nothing and logs nothing.
    EXPECT_EQ(read(b), "0123456789");
    EXPECT_TRUE(window.log.empty());
}

TEST_F(merge_file_dialog_colours, an_equal_pair_has_no_marks_and_default_colours)
{
    const bfs::path a = write_main("a.txt", "same", 1600000000);
    const bfs::path b = write_backup("a.txt", "same", 1600000000);
    on_dialog = [&](CMergeFileDlg& dialog) {
        for (int id : {IDC_MERGE_MAIN_SIZE, IDC_MERGE_BACKUP_SIZE, IDC_MERGE_MAIN_TIME, IDC_MERGE_BACKUP_TIME})
            EXPECT_EQ(colours(dialog, id), std::make_pair(RGB(1, 2, 3), CLR_INVALID)) << id;
        EXPECT_TRUE(dialog.m_main_size_marker.IsEmpty() && dialog.m_backup_time_marker.IsEmpty());
        return IDC_MERGE_COPY_LEFT;
    };
    merge.MergeFile(a, b);
    EXPECT_EQ(dialogs_shown, 1);
}

TEST_F(merge_file_dialog, buttons_follow_the_kind_and_go_shows_the_file)
{
    std::vector<std::vector<std::string>> started;
    platform::set_process_launcher([&](const platform::process_request& request) {
        started.push_back(request.arguments);
        return 0;
    });
    CMergeFileDlg dialog;
    dialog.m_kind = "file";
    dialog.m_name = "a.txt";
    dialog.m_main_folder = main_root.string().c_str();
    dialog.m_backup_folder = backup_root.string().c_str();
    write_backup("a.txt", "x");
    platform::set_modal_dialog_handler([&](CDialog&) -> INT_PTR {
        EXPECT_FALSE(dialog.GetDlgItem(IDC_MERGE_COPY_RIGHT)->IsWindowEnabled());
        EXPECT_TRUE(dialog.GetDlgItem(IDC_MERGE_COPY_LEFT)->IsWindowEnabled());
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MERGE_GO_MAIN, BN_CLICKED), 0);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MERGE_GO_BACKUP, BN_CLICKED), 0);
        dialog.SendMessage(WM_CLOSE, 0, 0);
        return 7;
    });
    EXPECT_EQ(dialog.DoModal(), 0);
    platform::set_process_launcher(nullptr);
    // Only the backup file exists: only its Go button asks the file manager, for that file.
    ASSERT_EQ(started.size(), 1u);
    const std::string items = "['" + platform::file_uri((backup_root / "a.txt").string()) + "']";
    EXPECT_NE(std::find(started[0].begin(), started[0].end(), items), started[0].end());
}

TEST_F(merge_file_dialog, a_missing_file_opens_no_dialog_and_mock_copy_copies_nothing)
{
    const bfs::path a = write_main("a.txt", "main", 1600000100);
    const bfs::path b = write_backup("a.txt", "backup", 1600000000);
    on_dialog = [](CMergeFileDlg&) { return IDC_MERGE_COPY_RIGHT; };

    merge.MergeFile(a, backup_root / "missing.txt");
    EXPECT_EQ(dialogs_shown, 0);
    EXPECT_EQ(window.texts(logger::error),
              std::vector<std::string>({"Merge file: " + (backup_root / "missing.txt").string() + " does not exist"}));

    window.archive.mock_copy = true;
    merge.MergeFile(a, b);
    EXPECT_EQ(dialogs_shown, 1);
    EXPECT_EQ(read(b), "backup");
}

}  // namespace
