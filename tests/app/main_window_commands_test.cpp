// The main window's menu commands reach the work behind them: each family once, from the real
// window over real trees, with the dialogs answered as a user would.

#include "main_window_fixture.h"

#include "app/ArchiveStatsDialog.h"
#include "app/ExportDialog.h"
#include "app/FileClipboard.h"
#include "app/MergeFileDlg.h"
#include "app/PropertyDlg.h"
#include "app/SqlQueryDialog.h"
#include "app/settings_keys.h"

#include "command_support.h"
#include "core/data/data_table.h"
#include "platform/base/process_launcher.h"
#include "platform/base/shell_dialogs.h"
#include "platform/base/virtual_keys.h"
#include "support/temp_folder.h"

#include <cerrno>
#include <typeinfo>

namespace bfs = boost::filesystem;

// Opens with the paths in the settings and AutoLoad on: the four kinds are on show.
class main_window_commands : public main_window_fixture {
protected:
    void SetUp() override
    {
        main_window_fixture::SetUp();
        set_paths_in_settings();
        edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
        open();
    }
    std::string backup_file(const std::string& name) const { return (folder.path() / "backup" / name).string(); }
    std::string working_file(const std::string& name) const { return (folder.path() / name).string(); }
    static void click(CDialog& dialog, int id) { static_cast<CButton*>(dialog.GetDlgItem(id))->user_clicked(); }
    // Tool options with the first "Unselected BG" row set to `colour`, then OK.
    void choose_unselected_colour(const std::string& colour) { choose_colour("Unselected BG", colour); }
    void choose_colour(const std::string& label, const std::string& colour)
    {
        command_test::modal_answer user([&](CDialog& dialog) {
            auto& shown = dynamic_cast<CPropertyDlg&>(dialog);
            for (int g = 0; g < shown.GroupCount(); ++g)
                for (int index = 0; index < shown.Group(g)->GetSubItemsCount(); ++index)
                    if (shown.Group(g)->GetSubItem(index)->GetName() == label.c_str())
                        shown.Group(g)->GetSubItem(index)->user_changed(colour.c_str());
            click(dialog, IDC_PROPERTIES_OK);
            return IDOK;
        });
        command(ID_TOOL_OPTIONS);
    }
    void select_row_of_kind(const std::string& kind)
    {
        window->grid().GetSelectionManager()->ClearAll();
        window->grid().GetSelectionManager()->StartBlock(1, static_cast<int>(row_of_kind(kind)));
    }
    std::uint64_t row_of_kind(const std::string& kind) const
    {
        std::uint64_t row = 0;
        while (window->archive().result->rows.at(row)->cells[10] != kind)
            ++row;
        return row;
    }
};

TEST_F(main_window_commands, merge_right_copies_the_missing_backup_and_the_grid_shows_what_remains)
{
    ASSERT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "SIZE", "TIME"}));
    command(ID_MERGE_RIGHT);
    EXPECT_EQ(test_support::temp_folder::read(backup_file("only-main.txt")), "main");
    EXPECT_EQ(kinds(), (std::vector<std::string> {"FILE", "SIZE", "TIME"})) << "compared again after the merge";
    EXPECT_EQ(window->grid().GetRowCount(), 3);
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 3");
}

TEST_F(main_window_commands, rows_count_follows_a_double_click_merge_and_an_overlap_refusal)
{
    ASSERT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");
    bool flag = true;
    window->OnGridEvent(row_of_kind("BACKUP"), 0, CDataGridCtrl::cell_double_click, 0, 0, flag, "");
    EXPECT_TRUE(wait_for_line("3 difference(s) remaining"));
    EXPECT_EQ(window->grid().GetRowCount(), 3);
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 3");

    type_path(IDC_BACKUP_PATH, (folder.path() / "main" / "inner").string());
    command(IDC_GO, BN_CLICKED);
    EXPECT_TRUE(wait_for_line("overlap"));
    EXPECT_EQ(window->grid().GetRowCount(), 0);
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 0");
}

TEST_F(main_window_commands, a_double_click_on_rows_made_for_other_folders_writes_nothing)
{
    const std::string elsewhere = (folder.path() / "elsewhere").string();
    bfs::create_directories(elsewhere);
    // On the row of only-main.txt: a double click copies it to the backup side.
    auto double_click = [&] {
        std::uint64_t row = 0;
        while (window->archive().result->rows.at(row)->cells[10] != "BACKUP")
            ++row;
        bool flag = true;
        window->OnGridEvent(row, 0, CDataGridCtrl::cell_double_click, 0, 0, flag, "");
    };
    type_path(IDC_BACKUP_PATH, elsewhere);
    double_click();
    EXPECT_TRUE(bfs::is_empty(elsewhere));
    EXPECT_TRUE(wait_for_line("not made for the current folders"));

    // A comparison that fails leaves rows that stand for no folders, whatever the fields say.
    type_path(IDC_BACKUP_PATH, backup_root());
    type_path(IDC_MAIN_PATH, "");
    command(IDC_GO, BN_CLICKED);
    type_path(IDC_MAIN_PATH, main_root());
    double_click();
    EXPECT_FALSE(bfs::exists(backup_file("only-main.txt")));

    command(IDC_GO, BN_CLICKED);
    double_click();
    EXPECT_EQ(test_support::temp_folder::read(backup_file("only-main.txt")), "main");
}

TEST_F(main_window_commands, file_menu_exports_the_grid_saves_the_log_and_loads_a_dump_back)
{
    {
        command_test::modal_answer user([](CDialog& dialog) {
            click(dialog, IDC_EXPORT_CSV);
            click(dialog, IDC_EXPORT_EXPORT);
            return IDOK;
        });
        command(ID_EXPORT);
    }
    const std::string csv = test_support::temp_folder::read(working_file("differences.csv"));
    for (const char* name : {"only-main.txt", "size.txt", "time.txt"})
        EXPECT_NE(csv.find(name), std::string::npos) << name;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4) << "a line per row on show:\n" << csv;

    {
        command_test::file_picker_answer picker(working_file("catalogue-copy.db"));
        command(ID_DUMP);
    }
    command(ID_CLEAR);
    ASSERT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 0");
    {
        command_test::file_picker_answer picker(working_file("catalogue-copy.db"));
        command(ID_LOAD);
    }
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "SIZE", "TIME"}));
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");
    bool flag = true;
    window->OnGridEvent(row_of_kind("BACKUP"), 0, CDataGridCtrl::cell_double_click, 0, 0, flag, "");
    EXPECT_FALSE(bfs::exists(backup_file("only-main.txt"))) << "loaded rows are merged only after a comparison";

    ASSERT_TRUE(wait_for_line("4 difference(s) retrieved in "));
    {
        command_test::file_picker_answer picker(working_file("saved.txt"));
        command(ID_SAVE_LOG);
    }
    EXPECT_NE(test_support::temp_folder::read(working_file("saved.txt")).find("4 difference(s) retrieved in "),
              std::string::npos);
}

TEST_F(main_window_commands, tools_menu_opens_statistics_and_query_over_the_catalogue)
{
    std::vector<std::string> shown;
    std::string main_files;
    command_test::modal_answer user([&](CDialog& dialog) {
        shown.push_back(typeid(dialog).name());
        if (dynamic_cast<CArchiveStatsDialog*>(&dialog) != nullptr) {
            CString text;
            dialog.GetDlgItem(IDC_STATS_MAIN_FILES)->GetWindowText(text);
            main_files = text.GetString();
        }
        dialog.EndDialog(IDCANCEL);
        return IDCANCEL;
    });
    command(ID_SHOW_STATISTICS);
    command(ID_QUERY);
    EXPECT_EQ(shown, (std::vector<std::string> {typeid(CArchiveStatsDialog).name(), typeid(CSqlQueryDialog).name()}));
    EXPECT_NE(main_files.find('4'), std::string::npos) << main_files;
}

TEST_F(main_window_commands, tool_options_ok_saves_the_settings_and_the_grid_takes_the_colour)
{
    choose_unselected_colour("10,20,30");
    EXPECT_NE(settings_text().find("10,20,30"), std::string::npos);
    CUGCell cell;
    window->grid().GetCell(1, 0, &cell);
    EXPECT_EQ(cell.GetBackColor(), RGB(10, 20, 30)) << "shown at once";
}

class main_window_unreadable_settings : public main_window_commands {
protected:
    void SetUp() override { main_window_fixture::SetUp(); }
};

TEST_F(main_window_commands, a_mock_copy_colour_chosen_in_tool_options_shows_at_the_next_mock_copy)
{
    choose_colour("MockCopy BG", "10,20,30");
    command(ID_MOCK_COPY);
    EXPECT_EQ(window->corner_colour(), RGB(10, 20, 30));
}

TEST_F(main_window_unreadable_settings, tool_options_never_overwrite_a_settings_file_that_could_not_be_read)
{
    folder.write("settings.xml", "<Tarvoline><Config>");
    open();
    choose_unselected_colour("10,20,30");
    EXPECT_EQ(settings_text(), "<Tarvoline><Config>");
    EXPECT_TRUE(wait_for_line("Unable to save settings into"));
}

TEST_F(main_window_commands, a_file_nothing_can_show_in_its_folder_is_one_error_line)
{
    // A session whose file manager doesn't answer, and no xdg-open.
    platform::set_process_launcher([](const platform::process_request& request) {
        if (request.arguments.front() != "gdbus")
            return ENOENT;
        if (request.on_exit)
            request.on_exit(1);
        return 0;
    });
    select_row_of_kind("SIZE");
    command(ID_GO_TO_FILE);
    EXPECT_TRUE(wait_for_line("Unable to show " + (folder.path() / "main" / "size.txt").string() + " in its folder"));

    // Nothing starts at all: the merge file dialog's Go says so too.
    platform::set_process_launcher([](const platform::process_request&) { return ENOENT; });
    CMergeFileDlg dialog(window.get());
    dialog.m_name = "time.txt";
    dialog.m_main_folder = (folder.path() / "main").string().c_str();
    dialog.m_backup_folder = backup_root().c_str();
    {
        command_test::modal_answer user([&](CDialog&) {
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MERGE_GO_BACKUP, BN_CLICKED), 0);
            return IDCANCEL;
        });
        dialog.DoModal();
    }
    platform::set_process_launcher(nullptr);
    EXPECT_TRUE(wait_for_line("Unable to show " + backup_file("time.txt") + " in its folder"));
    flush_log();
    const std::vector<std::string> lines = log_lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("in its folder") != std::string::npos; }),
              2);
}

TEST_F(main_window_commands, the_delete_key_asks_then_deletes_the_rows_files_from_both_folders)
{
    select_row_of_kind("SIZE");
    UINT key = VK_DELETE;
    answer = IDNO;
    window->grid().OnKeyReleased(&key, 0);
    ASSERT_EQ(questions, (std::vector<std::string> {
                             "Delete selected rows?\nThe files of these rows are deleted from both folders.\n\n1 row:\nsize.txt"}));
    EXPECT_TRUE(bfs::exists(folder.path() / "main" / "size.txt"));
    EXPECT_TRUE(bfs::exists(backup_file("size.txt")));

    answer = IDYES;
    window->grid().OnKeyReleased(&key, 0);
    EXPECT_FALSE(bfs::exists(folder.path() / "main" / "size.txt"));
    EXPECT_FALSE(bfs::exists(backup_file("size.txt")));
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "TIME"})) << "compared again";
    EXPECT_TRUE(bfs::exists(backup_file("time.txt"))) << "only the selected row";
}

TEST_F(main_window_commands, clipboard_menu_collects_shows_and_copies_into_the_chosen_folder)
{
    FileClipboardWindow& clipboard = window->clipboard_window();
    EXPECT_FALSE(clipboard.IsWindowVisible()) << "built hidden with the window";
    select_row_of_kind("SIZE");
    command(ID_CLIPBOARD_ADD_BACKUP);
    command(ID_CLIPBOARD_SHOW);
    EXPECT_TRUE(clipboard.IsWindowVisible());
    ASSERT_EQ(clipboard.m_list.item_count(), 1u);

    const std::string target = (folder.path() / "collected").string();
    bfs::create_directories(target);
    const auto previous = platform::set_folder_dialog_handler(
        [&](const platform::folder_dialog_request&, CString& path) {
            path = target.c_str();
            return true;
        });
    command(ID_CLIPBOARD_COPY_TO);
    platform::set_folder_dialog_handler(previous);
    EXPECT_EQ(test_support::temp_folder::read(target + "/size.txt"), "abcdef") << "the backup side's file";

    command(ID_CLIPBOARD_DELETE_ALL);
    EXPECT_EQ(clipboard.m_list.item_count(), 0u);
}
