// The main window's menu commands reach the work behind them: each family once, from the real
// window over real trees, with the dialogs answered as a user would.

#include "main_window_fixture.h"

#include "core/data/data_table.h"
#include "support/temp_folder.h"

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
