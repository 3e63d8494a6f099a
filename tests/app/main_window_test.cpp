// The main window without a display: start-up from the settings file, the comparison and filter
// commands, the keys it takes, its menus and its close.

#include "main_window_fixture.h"

#include "app/FilterDialog.h"
#include "app/SqlQueryDialog.h"
#include "app/settings_keys.h"
#include "grid/UGGrid.h"
#include "grid/UGHScroll.h"
#include "grid/UGVScroll.h"

#include "core/data/data_table.h"
#include "platform/base/dialog.h"
#include "platform/base/shell_dialogs.h"
#include "platform/base/virtual_keys.h"

#include <stdexcept>

namespace keys = settings_keys;

namespace {

// Answers the filter dialog with a condition (OK) or cancels it.
class filter_answer {
public:
    explicit filter_answer(std::function<INT_PTR(CDialog&)> answer)
        : previous_(platform::set_modal_dialog_handler(std::move(answer)))
    {
    }
    ~filter_answer() { platform::set_modal_dialog_handler(previous_); }

    static std::function<INT_PTR(CDialog&)> type(const std::string& condition)
    {
        return [condition](CDialog& dialog) -> INT_PTR {
            dialog.GetDlgItem(IDC_FILTER_CONDITION)->SetWindowText(condition.c_str());
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return IDOK;
        };
    }

private:
    platform::modal_dialog_handler previous_;
};

std::string stored(CTarvolineDlg& window, const std::string& key)
{
    return keys::read_text(window.settings(), key);
}

}  // namespace

class main_window_start : public main_window_fixture {};

TEST_F(main_window_start, each_version_case_logs_its_own_line_and_stores_only_an_older_version)
{
    open();
    EXPECT_TRUE(wait_for_line("Registering version 1.0.0.0"));
    EXPECT_EQ(stored(*window, keys::version), "1.0.0.0");
    window.reset();
    EXPECT_NE(settings_text().find("<Version>1.0.0.0</Version>"), std::string::npos) << "saved at once";

    open();
    EXPECT_TRUE(wait_for_line("Running version 1.0.0.0"));
    flush_log();
    EXPECT_FALSE(logged("was running before"));
    window.reset();

    edit_settings("<Version>1.0.0.0</Version>", "<Version>0.9.0.0</Version>");
    open();
    EXPECT_TRUE(wait_for_line("Older version detected. Updating from 0.9.0.0 to 1.0.0.0"));
    EXPECT_EQ(stored(*window, keys::version), "1.0.0.0");
    window.reset();

    edit_settings("<Version>1.0.0.0</Version>", "<Version>2.0.0.0</Version>");
    open();
    EXPECT_TRUE(wait_for_line("Running version 1.0.0.0. Version 2.0.0.0 was running before"));
    EXPECT_EQ(stored(*window, keys::version), "2.0.0.0");
}

TEST_F(main_window_start, the_catalogue_is_a_file_only_when_db_mode_says_file)
{
    open();
    window.reset();
    EXPECT_FALSE(boost::filesystem::exists(folder.path() / "catalogue.db")) << "memory by default";

    edit_settings("<DbMode>memory</DbMode>", "<DbMode>FILE</DbMode>");
    open();
    EXPECT_TRUE(boost::filesystem::exists(folder.path() / "catalogue.db"));
    window.reset();
    boost::filesystem::remove(folder.path() / "catalogue.db");

    edit_settings("<DbMode>FILE</DbMode>", "<DbMode>disk</DbMode>");
    open();
    EXPECT_FALSE(boost::filesystem::exists(folder.path() / "catalogue.db"));
}

TEST_F(main_window_start, a_malformed_settings_file_is_logged_left_byte_identical_and_never_saved)
{
    set_paths_in_settings();
    edit_settings("</Config>", "</Conf>");
    const std::string before = settings_text();
    open();
    EXPECT_FALSE(window->settings_readable());
    EXPECT_TRUE(wait_for_line("will not be saved"));
    EXPECT_TRUE(logged("[ERROR"));
    EXPECT_EQ(text_of(IDC_MAIN_PATH), "") << "every key at its default";
    type_path(IDC_MAIN_PATH, main_root());
    command(ID_MOCK_COPY);
    window->SendMessage(WM_CLOSE);
    EXPECT_TRUE(window->has_ended());
    window.reset();
    EXPECT_EQ(settings_text(), before);
}

TEST_F(main_window_start, a_malformed_settings_file_is_named_with_the_reason_and_no_error_names_nothing)
{
    edit_settings("</Config>", "</Conf>");
    open();
    flush_log();
    EXPECT_TRUE(logged(settings_path() + ": invalid closing tag name at line "));
    // Every key is at its default: a file name left empty is named by its setting.
    for (const std::string& line : log_lines())
        EXPECT_NE(line.back(), ' ') << "a name is missing at the end of: " << line;
    EXPECT_TRUE(logged("DB Schema"));
    EXPECT_TRUE(logged("Script Repository"));
}

TEST_F(main_window_start, auto_load_with_a_missing_schema_logs_and_keeps_the_window)
{
    set_paths_in_settings();
    edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
    edit_settings("<DbSchema>schema.sql</DbSchema>", "<DbSchema>missing.sql</DbSchema>");
    open();
    ASSERT_TRUE(window->IsWindow());
    EXPECT_TRUE(wait_for_line("missing.sql"));
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 0");
    command(IDC_GO, BN_CLICKED);
    EXPECT_TRUE(window->IsWindow());
}

TEST_F(main_window_start, auto_load_compares_at_once_and_paths_come_from_the_settings)
{
    set_paths_in_settings();
    edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
    open();
    EXPECT_EQ(text_of(IDC_MAIN_PATH), main_root());
    EXPECT_EQ(text_of(IDC_BACKUP_PATH), backup_root());
    EXPECT_TRUE(window->GetDlgItem(IDC_GO)->IsWindowEnabled());
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "SIZE", "TIME"}));
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");
    EXPECT_TRUE(wait_for_line("4 difference(s) retrieved in "));
}

TEST_F(main_window_start, a_script_that_fails_to_prepare_is_not_offered_and_is_reported_once_per_start)
{
    const std::string shipped = test_support::temp_folder::read((folder.path() / "scripts.xml").string());
    auto with_scripts = [&](const std::string& text) {
        window.reset();
        folder.write("scripts.xml", text);
        open();
        // Query then Run fills the box again.
        filter_answer run([](CDialog& dialog) -> INT_PTR {
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_QUERY_RUN, BN_CLICKED), 0);
            return IDOK;
        });
        command(ID_QUERY);
        flush_log();
    };
    auto count_logged = [&](const std::string& text) {
        const std::vector<std::string> lines = log_lines();
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    auto offered = [&] {
        std::vector<std::string> names;
        auto* box = static_cast<CComboBox*>(window->GetDlgItem(IDC_SCRIPTS));
        for (int index = 0; index < box->GetCount(); ++index) {
            CString text;
            box->GetLBText(index, text);
            names.push_back(text.GetString());
        }
        return names;
    };

    std::string broken = shipped;
    broken.replace(broken.find("</Scripts>"), 10,
                   "<Script name=\"Broken\"><Text>selec nothing</Text></Script></Scripts>");
    with_scripts(broken);
    EXPECT_EQ(offered(), std::vector<std::string>({"MergeDifferences"}));
    EXPECT_EQ(count_logged("Unable to prepare script Broken"), 1);

    std::string broken_diff = shipped;
    broken_diff.replace(broken_diff.find("SELECT F.ID AS file_id"), 6, "SELEC");
    with_scripts(broken_diff);
    EXPECT_TRUE(offered().empty()) << "nothing a comparison could run";
    EXPECT_EQ(count_logged("syntax error"), 1);
}

TEST_F(main_window_start, the_log_view_shows_each_entry_on_one_line_without_its_newline)
{
    open();
    window->log() << "streamed line\n";
    window->log().enqueue("queued line", logger::info);
    flush_log();
    EXPECT_TRUE(logged("Registering version"));
    for (const std::string& line : log_lines())
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    const std::vector<std::string> lines = log_lines();
    const auto streamed = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("streamed line") != std::string::npos;
    });
    ASSERT_NE(streamed, lines.end());
    EXPECT_EQ(streamed->substr(streamed->size() - 13), "streamed line");
}

TEST_F(main_window_start, log_lines_keep_the_order_they_arrived_in)
{
    open();
    flush_log();
    window->log().enqueue("zebra line", logger::info);
    window->log().enqueue("aardvark line", logger::info);
    flush_log();
    const std::vector<std::string> lines = log_lines();
    const auto zebra = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& line) { return line.find("zebra") != std::string::npos; });
    const auto aardvark = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("aardvark") != std::string::npos;
    });
    ASSERT_NE(zebra, lines.end());
    ASSERT_NE(aardvark, lines.end());
    EXPECT_LT(zebra, aardvark);
    EXPECT_EQ(window->log_view().GetCurSel(), window->log_view().GetCount() - 1) << "the newest line is selected";
}

class main_window_compare : public main_window_fixture {
protected:
    void SetUp() override
    {
        main_window_fixture::SetUp();
        open();
        type_path(IDC_MAIN_PATH, main_root());
        type_path(IDC_BACKUP_PATH, backup_root());
    }
};

TEST_F(main_window_compare, go_shows_every_kind_and_a_toggle_drops_its_kind)
{
    EXPECT_EQ(stored(*window, keys::main_path), main_root());
    EXPECT_EQ(stored(*window, keys::backup_path), backup_root());
    EXPECT_TRUE(wait_for_line("Main path set to " + main_root()));
    EXPECT_TRUE(window->GetDlgItem(IDC_GO)->IsWindowEnabled());

    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "SIZE", "TIME"}));
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");
    EXPECT_TRUE(wait_for_line("4 difference(s) retrieved in "));
    EXPECT_TRUE(logged(" millseconds"));

    command(ID_FILTER_DIFFERENT_SIZE);
    EXPECT_EQ(window->DifferenceMask(), 11);
    EXPECT_EQ(window->context_menu().GetMenuState(ID_FILTER_DIFFERENT_SIZE, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "TIME"}));
    for (UINT id : {ID_FILTER_DIFFERENT_TIME, ID_FILTER_MISSING_MAIN, ID_FILTER_MISSING_BACKUP})
        command(id);
    EXPECT_EQ(window->DifferenceMask(), 0);
    EXPECT_TRUE(kinds().empty());
}

TEST_F(main_window_compare, an_empty_main_path_is_refused_and_records_nothing)
{
    type_path(IDC_MAIN_PATH, "");
    EXPECT_FALSE(window->GetDlgItem(IDC_GO)->IsWindowEnabled());
    window->RunComparison();
    EXPECT_TRUE(wait_for_line("Main path is empty"));
    EXPECT_TRUE(kinds().empty());
    EXPECT_EQ(window->archive().root().string(), main_root()) << "the root keeps the last folder";
}

TEST_F(main_window_compare, a_typed_main_folder_that_does_not_exist_is_never_created_and_go_refuses)
{
    command(IDC_GO, BN_CLICKED);
    const std::string deeper = (folder.path() / "nonexistent" / "deeper" / "main").string();
    type_path(IDC_MAIN_PATH, deeper);
    EXPECT_TRUE(wait_for_line("Main folder " + deeper + " does not exist"));
    type_path(IDC_MAIN_PATH, main_root() + " ");
    EXPECT_TRUE(wait_for_line("Main folder " + main_root() + "  does not exist"));
    EXPECT_FALSE(boost::filesystem::exists(folder.path() / "nonexistent"));
    EXPECT_FALSE(boost::filesystem::exists(main_root() + " "));
    EXPECT_EQ(window->archive().root().string(), main_root()) << "the root keeps the last folder";

    command(IDC_GO, BN_CLICKED);
    flush_log();
    EXPECT_EQ(kinds().size(), 4u) << "Go refused: no backup file listed as missing in main";
    EXPECT_FALSE(boost::filesystem::exists(main_root() + " "));
    merge_roots roots;
    EXPECT_FALSE(window->result_roots(roots)) << "nothing may be merged into the rows of another folder";
}

TEST_F(main_window_compare, a_path_typed_and_compared_before_the_focus_left_is_the_one_compared)
{
    command(IDC_GO, BN_CLICKED);
    folder.write("other/only-here.txt", "x", 1600000000);
    const std::string other = (folder.path() / "other").string();
    window->GetDlgItem(IDC_MAIN_PATH)->SetWindowText(other.c_str());
    MSG f5 {window->GetDlgItem(IDC_MAIN_PATH)->GetSafeHwnd(), WM_KEYDOWN, VK_F5, 0};
    EXPECT_TRUE(window->PreTranslateMessage(&f5));
    EXPECT_EQ(stored(*window, keys::main_path), other);
    ASSERT_EQ(window->archive().result->rows.size(), 5u);
}

TEST_F(main_window_compare, a_backup_path_typed_and_compared_before_the_focus_left_is_stored_once_and_saved_at_close)
{
    folder.write("other/only-here.txt", "x", 1600000000);
    const std::string other = (folder.path() / "other").string();
    CWnd* field = window->GetDlgItem(IDC_BACKUP_PATH);
    field->SetWindowText(other.c_str());
    MSG f5 {field->GetSafeHwnd(), WM_KEYDOWN, VK_F5, 0};
    EXPECT_TRUE(window->PreTranslateMessage(&f5));
    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "BACKUP", "BACKUP", "BACKUP", "FILE"}));
    EXPECT_EQ(stored(*window, keys::backup_path), other);
    flush_log();
    const std::vector<std::string> lines = log_lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) {
                                return line.find("Backup path set to " + other) != std::string::npos;
                            }),
              1);
    window->SendMessage(WM_CLOSE);
    window.reset();
    EXPECT_NE(settings_text().find("<Backup>" + other + "</Backup>"), std::string::npos) << settings_text();
}

TEST_F(main_window_compare, unchecking_backup_folder_disables_its_controls_and_compares_against_no_backup)
{
    window->GetDlgItem(IDC_BACKUP_FOLDER)->SendMessage(BM_CLICK);
    EXPECT_FALSE(window->GetDlgItem(IDC_BACKUP_PATH)->IsWindowEnabled());
    EXPECT_FALSE(window->GetDlgItem(IDC_BROWSE_BACKUP)->IsWindowEnabled());
    EXPECT_EQ(window->GetBackupPath(), "");
    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "BACKUP", "BACKUP", "BACKUP"}));
}

TEST_F(main_window_compare, a_custom_condition_filters_and_marks_the_corner_until_go)
{
    command(IDC_GO, BN_CLICKED);
    const COLORREF caption = window->grid().GetCaptionColor();
    EXPECT_EQ(window->corner_colour(), caption);
    {
        filter_answer answer(filter_answer::type("backup_size > 5"));
        command(ID_CUSTOM_FILTER);
    }
    EXPECT_EQ(kinds(), (std::vector<std::string> {"FILE", "SIZE"}));
    EXPECT_EQ(window->custom_filter(), "backup_size > 5");
    EXPECT_NE(window->context_menu().GetMenuState(ID_CUSTOM_FILTER, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(window->corner_colour(), window->grid().GetFilteredColor());
    EXPECT_TRUE(wait_for_line("2 difference(s) fileterd in "));
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 2");

    command(ID_FILTER_DIFFERENT_SIZE);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"FILE"})) << "a toggle applies the condition again";

    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(window->custom_filter(), "");
    EXPECT_EQ(window->context_menu().GetMenuState(ID_CUSTOM_FILTER, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(window->corner_colour(), caption);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "FILE", "TIME"}));
}

TEST_F(main_window_compare, a_failing_condition_leaves_the_plain_rows_and_says_so)
{
    command(IDC_GO, BN_CLICKED);
    flush_log();
    {
        filter_answer answer(filter_answer::type("no_such_column > 1"));
        command(ID_CUSTOM_FILTER);
    }
    EXPECT_TRUE(wait_for_line("no_such_column"));
    flush_log();
    EXPECT_FALSE(logged("fileterd"));
    EXPECT_EQ(kinds().size(), 4u);
    EXPECT_EQ(window->context_menu().GetMenuState(ID_CUSTOM_FILTER, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(window->corner_colour(), window->grid().GetCaptionColor());

    filter_answer cancel([](CDialog& dialog) -> INT_PTR {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return IDCANCEL;
    });
    command(ID_CUSTOM_FILTER);
    EXPECT_EQ(kinds().size(), 4u);
}

TEST_F(main_window_compare, a_failing_condition_after_a_good_one_keeps_rows_corner_and_check_in_agreement)
{
    command(IDC_GO, BN_CLICKED);
    {
        filter_answer answer(filter_answer::type("backup_size > 5"));
        command(ID_CUSTOM_FILTER);
    }
    ASSERT_EQ(kinds(), (std::vector<std::string> {"FILE", "SIZE"}));
    {
        filter_answer answer(filter_answer::type("no_such_column > 1"));
        command(ID_CUSTOM_FILTER);
    }
    EXPECT_TRUE(wait_for_line("no_such_column"));
    EXPECT_EQ(kinds(), (std::vector<std::string> {"FILE", "SIZE"})) << "the filtered rows stay";
    EXPECT_EQ(window->custom_filter(), "backup_size > 5");
    EXPECT_NE(window->context_menu().GetMenuState(ID_CUSTOM_FILTER, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(window->corner_colour(), window->grid().GetFilteredColor());
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 2");
}

TEST_F(main_window_compare, a_failed_comparison_keeps_the_rows_and_the_selection_goes_with_new_rows)
{
    command(IDC_GO, BN_CLICKED);
    CDataGridCtrl::MultiSelectManager& selection = *window->grid().GetSelectionManager();
    selection.StartBlock(1, 0);
    selection.ExtendBlock(1, 2);
    boost::filesystem::remove_all(main_root());
    command(IDC_GO, BN_CLICKED);
    EXPECT_TRUE(wait_for_line("[ERROR"));
    EXPECT_EQ(kinds().size(), 4u) << "the previous rows stay";
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");

    folder.write("main/same.txt", "same", 1600000000);
    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(selection.GetBlockCount(), 0) << "no row stays selected over other files";
    selection.StartBlock(1, 0);
    command(ID_CLEAR);
    EXPECT_EQ(selection.GetBlockCount(), 0);
    EXPECT_TRUE(kinds().empty());
    EXPECT_EQ(window->grid().GetRowCount(), 0);
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 0");
}

TEST_F(main_window_compare, keys_f5_compares_once_and_enter_escape_do_nothing)
{
    CWnd* field = window->GetDlgItem(IDC_MAIN_PATH);
    MSG f5_down {window->grid().m_hWnd, WM_KEYDOWN, VK_F5, 0};
    MSG f5_up {window->grid().m_hWnd, WM_KEYUP, VK_F5, 0};
    EXPECT_TRUE(window->PreTranslateMessage(&f5_down));
    EXPECT_TRUE(window->PreTranslateMessage(&f5_up)) << "the grid never sees the release";
    flush_log();
    const std::vector<std::string> lines = log_lines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("retrieved in") != std::string::npos; }),
              1);
    for (WPARAM key : {static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>(VK_ESCAPE)}) {
        MSG down {field->GetSafeHwnd(), WM_KEYDOWN, key, 0};
        EXPECT_TRUE(window->PreTranslateMessage(&down));
    }
    MSG letter {field->GetSafeHwnd(), WM_KEYDOWN, 'A', 0};
    EXPECT_FALSE(window->PreTranslateMessage(&letter)) << "typing reaches the field";
    command(IDOK, BN_CLICKED);
    command(IDCANCEL, BN_CLICKED);
    EXPECT_FALSE(window->has_ended());
}

TEST_F(main_window_compare, folder_pickers_store_the_chosen_folder_and_a_double_click_opens_them)
{
    std::vector<std::string> asked;
    const auto previous = platform::set_folder_dialog_handler(
        [&](const platform::folder_dialog_request& request, CString& path) {
            asked.push_back(std::string(request.title.GetString()) + " at " + request.initial_folder.GetString());
            path = (folder.path() / "backup").string().c_str();
            return true;
        });
    command(IDC_BROWSE_MAIN, BN_CLICKED);
    MSG double_click {window->GetDlgItem(IDC_BACKUP_PATH)->GetSafeHwnd(), WM_LBUTTONDBLCLK, 0, 0};
    EXPECT_TRUE(window->PreTranslateMessage(&double_click));
    platform::set_folder_dialog_handler(previous);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "Main path at " + main_root());
    EXPECT_EQ(asked[1], "Backup path at " + backup_root());
    EXPECT_EQ(text_of(IDC_MAIN_PATH), backup_root());
    EXPECT_EQ(stored(*window, keys::main_path), backup_root());

    command(IDC_BROWSE_MAIN, BN_CLICKED);  // no handler: cancelled
    EXPECT_EQ(text_of(IDC_MAIN_PATH), backup_root());
}

class main_window_menus : public main_window_fixture {
protected:
    void SetUp() override
    {
        main_window_fixture::SetUp();
        set_paths_in_settings();
        edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
        open();
    }
    // The row of the result table whose kind is kind.
    int row_of(const std::string& kind) const
    {
        const auto& rows = window->archive().result->rows;
        for (std::size_t index = 0; index < rows.size(); ++index)
            if (rows[index]->cells[10] == kind)
                return static_cast<int>(index);
        return -1;
    }
    UINT state_after_opening(int row, UINT id)
    {
        window->grid().GetSelectionManager()->ClearAll();
        window->grid().GetSelectionManager()->StartBlock(1, row);
        CMenu& popup = *window->context_menu().GetSubMenu(0);
        // Handlers of the row commands come with their own work; here each is a stand-in.
        for (UINT command : commands_of(popup))
            if (!window->HasCommandHandler(command))
                window->SetCommandHandler(command, [] {});
        window->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.GetSafeHmenu()), 0);
        return window->context_menu().GetMenuState(id, MF_BYCOMMAND);
    }
};

TEST_F(main_window_menus, row_commands_follow_the_sides_the_row_has)
{
    const int missing_backup = row_of("BACKUP");
    const int both = row_of("SIZE");
    ASSERT_GE(missing_backup, 0);
    EXPECT_EQ(state_after_opening(both, ID_COMPARE) & MF_GRAYED, 0u);
    EXPECT_EQ(state_after_opening(both, ID_OPEN_BACKUP) & MF_GRAYED, 0u);
    EXPECT_NE(state_after_opening(missing_backup, ID_OPEN_BACKUP) & MF_GRAYED, 0u) << "empty backup_size";
    EXPECT_NE(state_after_opening(missing_backup, ID_COMPARE) & MF_GRAYED, 0u);
    EXPECT_EQ(state_after_opening(missing_backup, ID_DELETE_FILE) & MF_GRAYED, 0u);

    window->GetDlgItem(IDC_BACKUP_FOLDER)->SendMessage(BM_CLICK);
    for (UINT id : {ID_COMPARE, ID_OPEN_BACKUP, ID_OPEN_WITH_BACKUP, ID_GO_TO_BACKUP, ID_DELETE_BACKUP,
                    ID_CLIPBOARD_ADD_BACKUP, ID_CLIPBOARD_ADD_ALL_BACKUP})
        EXPECT_NE(state_after_opening(both, id) & MF_GRAYED, 0u) << id;
}

TEST_F(main_window_menus, commands_nobody_handles_are_disabled_and_the_context_menu_brings_filters_back)
{
    CMenu& popup = *window->context_menu().GetSubMenu(0);
    window->SetCommandHandler(ID_QUERY, nullptr);
    window->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.GetSafeHmenu()), 0);
    EXPECT_NE(window->context_menu().GetMenuState(ID_QUERY, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(window->context_menu().GetMenuState(ID_CLEAR, MF_BYCOMMAND) & MF_GRAYED, 0u);

    std::vector<std::string> filters;
    const auto previous = platform::set_popup_menu_handler([&](const platform::popup_menu_request& request) {
        for (const menu_item& item : request.items)
            if (item.text == "Filter")
                for (const menu_item& filter : item.sub_items)
                    if (!filter.separator)
                        filters.push_back(std::string(filter.text.GetString()) + (filter.checked ? " on" : " off"));
        return ID_FILTER_MISSING_MAIN;
    });
    window->SendMessage(WM_CONTEXTMENU, 0, MAKELPARAM(40, 40));
    platform::set_popup_menu_handler(previous);
    EXPECT_EQ(filters, (std::vector<std::string> {"Different time on", "Different size on", "Missing main on",
                                                  "Missing backup on", "Custom filter off"}));
    EXPECT_EQ(window->DifferenceMask(), 14);
    EXPECT_EQ(kinds(), (std::vector<std::string> {"BACKUP", "SIZE", "TIME"}));
}

TEST_F(main_window_menus, mock_copy_twice_returns_the_corner_and_tells_the_catalogue)
{
    const COLORREF caption = window->grid().GetCaptionColor();
    command(ID_MOCK_COPY);
    EXPECT_TRUE(window->mock_copy());
    EXPECT_TRUE(window->archive().mock_copy);
    EXPECT_NE(window->window_menu()->GetMenuState(ID_MOCK_COPY, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(window->corner_colour(), keys::read_colour(window->settings(), keys::grid_mock_copy_background));
    {
        filter_answer answer(filter_answer::type("backup_size > 5"));
        command(ID_CUSTOM_FILTER);
    }
    command(IDC_GO, BN_CLICKED);
    EXPECT_EQ(window->custom_filter(), "backup_size > 5") << "Go keeps the condition while Mock copy is on";
    command(ID_MOCK_COPY);
    EXPECT_FALSE(window->archive().mock_copy);
    EXPECT_EQ(window->corner_colour(), window->grid().GetFilteredColor()) << "the rows on show are still filtered";
    {
        filter_answer answer(filter_answer::type(""));
        command(ID_CUSTOM_FILTER);
    }
    EXPECT_EQ(window->corner_colour(), caption);
    EXPECT_TRUE(wait_for_line("MOCK COPY enabled"));
    EXPECT_TRUE(wait_for_line("MOCK COPY disabled"));
}

TEST_F(main_window_menus, a_handler_that_throws_leaves_one_error_line_and_the_window_as_it_was)
{
    window->SetCommandHandler(ID_QUERY, [] { throw std::runtime_error("catalogue went away"); });
    command(ID_QUERY);
    EXPECT_TRUE(wait_for_line("catalogue went away"));
    EXPECT_TRUE(window->IsWindow());
    EXPECT_EQ(kinds().size(), 4u);
    EXPECT_EQ(text_of(IDC_ROWS_COUNT), "Rows count: 4");
}

TEST_F(main_window_menus, column_width_changes_are_stored_under_the_columns_heading)
{
    bool flag = false;
    window->OnGridEvent(0, 2, CDataGridCtrl::column_width_changing, 150, 0, flag, "");
    EXPECT_EQ(keys::read_text(window->settings(), keys::column_width("File Size")), "150");
    EXPECT_NE(settings_text().find("150"), std::string::npos) << "saved at once";
}

class main_window_close : public main_window_fixture {};

TEST_F(main_window_close, confirm_close_no_keeps_everything_and_yes_stores_place_and_paths)
{
    edit_settings("<ConfirmClose>No</ConfirmClose>", "<ConfirmClose>Yes</ConfirmClose>");
    open();
    type_path(IDC_MAIN_PATH, main_root());
    window.reset();
    const std::string before = settings_text();
    open();
    type_path(IDC_BACKUP_PATH, backup_root());
    answer = IDNO;
    window->SendMessage(WM_CLOSE);
    ASSERT_EQ(questions, (std::vector<std::string> {"End session?"}));
    EXPECT_FALSE(window->has_ended());
    EXPECT_EQ(settings_text(), before);

    window->SetWindowPos(nullptr, 100, 120, 800, 600, SWP_NOZORDER);
    answer = IDYES;
    command(ID_FILE_EXIT);
    EXPECT_EQ(questions.size(), 2u) << "Exit asks as the close does";
    EXPECT_TRUE(window->has_ended());
    const std::string after = settings_text();
    EXPECT_NE(after.find("<Left>100</Left>"), std::string::npos) << after;
    EXPECT_NE(after.find("<Top>120</Top>"), std::string::npos);
    EXPECT_NE(after.find("<Width>900</Width>"), std::string::npos) << "the right edge";
    EXPECT_NE(after.find("<Height>720</Height>"), std::string::npos) << "the bottom edge";
    EXPECT_NE(after.find("<Maximised>No</Maximised>"), std::string::npos);
    EXPECT_NE(after.find("<Backup>" + backup_root() + "</Backup>"), std::string::npos);
}

TEST_F(main_window_close, a_placement_off_every_screen_keeps_the_templates_own)
{
    open();
    CRect own;
    window->GetWindowRect(&own);
    window.reset();
    edit_settings("</Appearance>",
                  "<Window><Top>5000</Top><Left>6000</Left><Width>6800</Width><Height>5600</Height></Window>"
                  "</Appearance>");
    open();
    CRect placed;
    window->GetWindowRect(&placed);
    EXPECT_EQ(placed, own);
    window.reset();

    edit_settings("<Top>5000</Top><Left>6000</Left><Width>6800</Width><Height>5600</Height>",
                  "<Top>40</Top><Left>30</Left><Width>830</Width><Height>640</Height><Maximised>Yes</Maximised>");
    open();
    EXPECT_TRUE(window->IsZoomed()) << "closed maximised, started maximised";
    EXPECT_EQ(window->restored_rect(), CRect(30, 40, 830, 640));
    window->SendMessage(WM_CLOSE);
    window.reset();
    EXPECT_NE(settings_text().find("<Left>30</Left>"), std::string::npos) << settings_text();
    EXPECT_NE(settings_text().find("<Width>830</Width>"), std::string::npos) << "the restored rectangle";
    EXPECT_NE(settings_text().find("<Maximised>Yes</Maximised>"), std::string::npos);
}

TEST_F(main_window_close, a_window_started_larger_gives_the_grid_all_the_room_it_gained)
{
    const auto place_in_window = [this](CWnd& control) {
        CRect rect;
        control.GetWindowRect(&rect);
        window->ScreenToClient(&rect);
        return rect;
    };
    set_paths_in_settings();
    edit_settings("<AutoLoad>No</AutoLoad>", "<AutoLoad>Yes</AutoLoad>");
    open();
    ASSERT_EQ(window->grid().GetRowCount(), 4);
    CRect client;
    window->GetClientRect(&client);
    const CRect grid = place_in_window(window->grid());
    CRect cells;
    window->grid().m_CUGGrid->GetClientRect(&cells);
    window.reset();

    edit_settings("</Appearance>",
                  "<Window><Top>0</Top><Left>0</Left><Width>1100</Width><Height>750</Height></Window></Appearance>");
    open();
    CRect larger;
    window->GetClientRect(&larger);
    const int dx = larger.Width() - client.Width();
    const int dy = larger.Height() - client.Height();
    ASSERT_GT(dx, 0);
    ASSERT_GT(dy, 0);
    EXPECT_EQ(place_in_window(window->grid()), CRect(grid.left, grid.top, grid.right + dx, grid.bottom + dy));
    CRect grown;
    window->grid().m_CUGGrid->GetClientRect(&grown);
    EXPECT_EQ(grown.Width(), cells.Width() + dx) << "the cell area follows the grid";
    EXPECT_EQ(grown.Height(), cells.Height() + dy);
    EXPECT_FALSE(window->grid().m_CUGVScroll->GetStyle() & WS_VISIBLE) << "every row fits: no scroll bar is left";
    EXPECT_FALSE(window->grid().m_CUGHScroll->GetStyle() & WS_VISIBLE) << "every column fits";

    window->SetWindowPos(nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    window->GetClientRect(&larger);
    EXPECT_EQ(place_in_window(window->grid()).BottomRight(),
              CPoint(grid.right + larger.Width() - client.Width(), grid.bottom + larger.Height() - client.Height()))
        << "and follows a resize";
}
