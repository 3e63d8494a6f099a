// The file clipboard without a display: what it lists, its caption, and what Copy to leaves on
// disk, on real files.

#include "command_support.h"
#include "data_grid_fixture.h"
#include "log_capture.h"

#include "app/FileClipboard.h"
#include "core/fs/file_archive.h"
#include "platform/base/shell_dialogs.h"

#include <boost/filesystem.hpp>

namespace {

namespace bfs = boost::filesystem;

class file_clipboard_test : public data_grid_test {
protected:
    void SetUp() override
    {
        catalogue.result = std::move(owned_table);
        name_result_columns(table);
    }
    void TearDown() override
    {
        owned_table = std::move(catalogue.result);
        platform::set_folder_dialog_handler(nullptr);
    }
    // A row with the main file main/<name> and the backup file backup/<name>; an empty side has
    // empty cells.
    void add_row(const std::string& name, bool on_main, bool on_backup)
    {
        const std::string kind = on_main && on_backup ? "SIZE" : on_main ? "BACKUP" : "FILE";
        table.add_row_values({ "1", on_main ? name : "", on_main ? (folder.path() / "main").string() : "", "1", "1", "1",
                               on_backup ? name : "", on_backup ? (folder.path() / "backup").string() : "", "1", "1",
                               kind });
        if (on_main)
            folder.write("main/" + name, "main " + name);
        if (on_backup)
            folder.write("backup/" + name, "backup " + name);
    }
    std::vector<std::string> listed() const
    {
        std::vector<std::string> texts;
        for (int index = 0; index < clipboard_window.m_list.GetCount(); ++index)
            texts.push_back(static_cast<const char*>(clipboard_window.m_list.GetItemText(index)));
        return texts;
    }
    std::string caption() const
    {
        CString text;
        clipboard_window.m_list.GetWindowText(text);
        return static_cast<const char*>(text);
    }
    std::string main_path(const std::string& name) const { return (folder.path() / "main" / name).string(); }
    std::string backup_path(const std::string& name) const { return (folder.path() / "backup" / name).string(); }

    log_capture capture;
    fs::file_archive catalogue;
    command_test::host host { store, capture.log, catalogue, grid };
    FileClipboard clipboard { host };
    FileClipboardWindow& clipboard_window = clipboard.window();
};

TEST_F(file_clipboard_test, the_window_starts_hidden_with_its_captions_and_an_existing_file_is_listed_once)
{
    add_row("a.txt", true, true);
    EXPECT_FALSE(clipboard_window.IsWindowVisible());
    CString title;
    clipboard_window.GetWindowText(title);
    EXPECT_EQ(title, "File clipboard");
    EXPECT_EQ(caption(), "File list");

    clipboard.AddToClipboard(main_path("a.txt"));
    clipboard.AddToClipboard(main_path("a.txt"));
    clipboard.AddToClipboard(main_path("missing.txt"));
    clipboard.AddToClipboard((folder.path() / "main").string());

    EXPECT_EQ(listed(), (std::vector<std::string> { main_path("a.txt") }));
    EXPECT_EQ(caption(), "File list (1 items)");
    EXPECT_EQ(capture.texts("INFO"), (std::vector<std::string> { "Added " + main_path("a.txt") + " to clipboard",
                                                                 "Added " + main_path("a.txt") + " to clipboard" }));
    clipboard.Show();
    EXPECT_TRUE(clipboard_window.IsWindowVisible());
    clipboard_window.SendMessage(WM_CLOSE);
    EXPECT_FALSE(clipboard_window.IsWindowVisible());
    EXPECT_TRUE(clipboard_window.GetSafeHwnd()) << "closing hides the window; it lives as long as its owner";
}

TEST_F(file_clipboard_test, adding_all_takes_each_rows_existing_sides_and_never_the_root_of_a_missing_side)
{
    add_row("b.txt", true, true);
    add_row("only-backup.txt", false, true);
    add_row("only-main.txt", true, false);

    clipboard.AddAllMain();
    EXPECT_EQ(listed(), (std::vector<std::string> { main_path("b.txt"), main_path("only-main.txt") }));
    clipboard.DeleteAll();
    clipboard.AddAllBackup();
    EXPECT_EQ(listed(), (std::vector<std::string> { backup_path("b.txt"), backup_path("only-backup.txt") }));
    clipboard.DeleteAll();
    clipboard.AddAll();
    EXPECT_EQ(clipboard_window.m_list.item_count(), 4u);
    EXPECT_EQ(caption(), "File list (4 items)");
}

TEST_F(file_clipboard_test, adding_selected_rows_takes_only_them_and_an_empty_selection_is_reported)
{
    add_row("a.txt", true, true);
    add_row("b.txt", true, true);
    add_row("c.txt", true, true);
    show();
    grid.GetSelectionManager()->ClearAll();
    clipboard.AddMain();
    clipboard.AddBackup();
    grid.SelectRange(0, 1, 6, 2);
    clipboard.AddBackup();

    EXPECT_EQ(listed(), (std::vector<std::string> { backup_path("b.txt"), backup_path("c.txt") }));
    EXPECT_EQ(capture.texts("ERROR"), (std::vector<std::string> { "Go to file: no row/cell selected",
                                                                  "Add to clipboard: no row/cell selected" }));
}

TEST_F(file_clipboard_test, removal_keeps_the_map_the_caption_and_the_owner_in_step)
{
    add_row("a.txt", true, true);
    add_row("b.txt", true, true);
    std::vector<std::string> told;
    clipboard_window.m_list.set_removal_callback([&](const std::string& text, DWORD_PTR data) {
        told.push_back(text);
        EXPECT_NE(data, 0u);
    });
    clipboard.AddAll();
    // The list shows the items in the order they were added: a row's main file, then its backup.
    EXPECT_EQ(listed(), (std::vector<std::string> { main_path("a.txt"), backup_path("a.txt"), main_path("b.txt"),
                                                    backup_path("b.txt") }));
    clipboard_window.m_list.SelectItem(1);
    clipboard_window.m_list.user_removes_selected();
    EXPECT_EQ(told, (std::vector<std::string> { backup_path("a.txt") }));
    EXPECT_EQ(clipboard_window.m_list.items().count(backup_path("a.txt")), 0u);
    EXPECT_EQ(caption(), "File list (3 items)");

    clipboard.DeleteAll();
    EXPECT_EQ(clipboard_window.m_list.GetCount(), 0);
    EXPECT_TRUE(clipboard_window.m_list.items().empty());
    EXPECT_EQ(caption(), "File list (0 items)");
    clipboard.AddToClipboard(main_path("a.txt"));
    EXPECT_EQ(caption(), "File list (1 items)");
}

TEST_F(file_clipboard_test, copy_to_gives_free_names_keeps_times_and_leaves_the_clipboard_as_it_was)
{
    const bfs::path target = folder.path() / "target";
    folder.write("target/a.txt", "already there");
    const bfs::path first = folder.write("one/a.txt", "first a", 1500000000);
    const bfs::path second = folder.write("two/a.txt", "second a", 1400000000);
    clipboard.AddToClipboard(first.string());
    clipboard.AddToClipboard(second.string());

    clipboard.CopyInto(target.string());
    EXPECT_EQ(test_support::temp_folder::read(target / "a.txt"), "already there");
    EXPECT_EQ(test_support::temp_folder::read(target / "a - Copy.txt"), "first a");
    EXPECT_EQ(test_support::temp_folder::read(target / "a - Copy (2).txt"), "second a");
    EXPECT_EQ(bfs::last_write_time(target / "a - Copy.txt"), 1500000000);
    EXPECT_EQ(bfs::last_write_time(target / "a - Copy (2).txt"), 1400000000);

    clipboard.CopyInto(target.string());
    EXPECT_EQ(test_support::temp_folder::read(target / "a - Copy (3).txt"), "first a");
    EXPECT_EQ(test_support::temp_folder::read(target / "a - Copy (4).txt"), "second a");
    EXPECT_EQ(clipboard_window.m_list.item_count(), 2u);
    const auto info = capture.texts("INFO");
    EXPECT_EQ(info.back(), "Copying " + second.string() + " to " + target.string());
}

TEST_F(file_clipboard_test, a_failed_copy_is_one_error_line_and_the_others_are_still_copied)
{
    const bfs::path target = folder.path() / "target";
    bfs::create_directories(target);
    const bfs::path gone = folder.write("one/gone.txt", "x");
    const bfs::path kept = folder.write("one/kept.txt", "kept");
    clipboard.AddToClipboard(gone.string());
    clipboard.AddToClipboard(kept.string());
    bfs::remove(gone);

    clipboard.CopyInto(target.string());

    EXPECT_FALSE(bfs::exists(target / "gone.txt"));
    EXPECT_EQ(test_support::temp_folder::read(target / "kept.txt"), "kept");
    EXPECT_EQ(capture.texts("ERROR"), (std::vector<std::string> { "Copy to: " + gone.string() + ": No such file or directory" }));
}

TEST_F(file_clipboard_test, copy_to_asks_for_the_folder_writes_nothing_when_cancelled_or_in_mock_mode)
{
    const bfs::path target = folder.path() / "target";
    bfs::create_directories(target);
    const bfs::path file = folder.write("one/a.txt", "a");
    clipboard.AddToClipboard(file.string());
    CString title;
    platform::set_folder_dialog_handler([&](const platform::folder_dialog_request& request, CString&) {
        title = request.title;
        return false;
    });
    clipboard.CopyTo();
    EXPECT_EQ(title, "Copy to...");
    EXPECT_TRUE(bfs::is_empty(target));

    platform::set_folder_dialog_handler([&](const platform::folder_dialog_request&, CString& path) {
        path = target.string().c_str();
        return true;
    });
    catalogue.mock_copy = true;
    clipboard.CopyTo();
    EXPECT_TRUE(bfs::is_empty(target));
    catalogue.mock_copy = false;
    clipboard.CopyTo();
    EXPECT_EQ(test_support::temp_folder::read(target / "a.txt"), "a");
    const auto info = capture.texts("INFO");
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[1], "Copying " + file.string() + " to " + target.string()) << "mock mode logs as a real copy";
    EXPECT_EQ(info[2], info[1]);
}

}  // namespace
