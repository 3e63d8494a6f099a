// Save log, Copy log, Dump and Load on real files, a real catalogue and the process clipboard.

#include "app/CatalogueFileCommands.h"
#include "app/LogCommands.h"
#include "app/settings_keys.h"
#include "catalogue_support.h"
#include "command_support.h"

#include "core/config/settings.h"
#include "platform/base/clipboard.h"
#include "platform/base/framework_objects.h"

#include <algorithm>

#include <sys/stat.h>

namespace {

using command_test::captured_log;
using command_test::file_picker_answer;
using test_support::temp_folder;

std::string clipboard_text()
{
    CString text;
    if (!OpenClipboard(nullptr))
        return "<closed>";
    HANDLE memory = GetClipboardData(CF_TEXT);
    if (memory) {
        const char* bytes = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(memory)));
        text = bytes ? bytes : "";
        GlobalUnlock(static_cast<HGLOBAL>(memory));
    }
    CloseClipboard();
    return text.GetString();
}

TEST(save_log, one_line_per_item_into_the_chosen_file_without_an_overwrite_question)
{
    temp_folder folder;
    const std::string chosen = (folder.path() / "session").string();
    folder.write("session.txt", "old content that is longer than the log");
    file_picker_answer picker(chosen);
    captured_log captured;
    ASSERT_TRUE(save_log({"[INFO|Normal] Rows count: 2\n", "[ERROR|Normal] plain", ""}, nullptr, captured.log));
    ASSERT_EQ(picker.requests.size(), 1u);
    EXPECT_FALSE(picker.requests[0].open);
    EXPECT_EQ(picker.requests[0].flags, 0u);
    EXPECT_EQ(temp_folder::read(chosen + ".txt"), "[INFO|Normal] Rows count: 2\n[ERROR|Normal] plain\n\n");
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"INFO Saving log into " + chosen + ".txt"}));
}

TEST(save_log, nothing_to_save_asks_nothing_and_an_unwritable_file_is_one_error)
{
    temp_folder folder;
    const std::string nowhere = (folder.path() / "no-such-folder" / "log.txt").string();
    file_picker_answer picker(nowhere);
    captured_log captured;
    EXPECT_FALSE(save_log({}, nullptr, captured.log));
    EXPECT_TRUE(picker.requests.empty());
    EXPECT_FALSE(save_log({"line"}, nullptr, captured.log));
    EXPECT_FALSE(boost::filesystem::exists(nowhere));
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"ERROR Unable to save log into " + nowhere}));
}

TEST(copy_log, puts_the_items_as_lines_on_the_clipboard)
{
    captured_log captured;
    ASSERT_TRUE(copy_log({"first\n", "second"}, nullptr, captured.log));
    EXPECT_EQ(clipboard_text(), "first\nsecond\n");
    ASSERT_TRUE(copy_log({}, nullptr, captured.log));
    EXPECT_EQ(clipboard_text(), "");
    EXPECT_TRUE(captured.lines().empty());
}

class catalogue_file_test : public command_test::catalogue_test {};

TEST_F(catalogue_file_test, dump_then_load_gives_the_same_rows)
{
    folder.write("main/only-main.txt", "m", 1600000000);
    folder.write("main/both.txt", "main side", 1600000000);
    folder.write("backup/both.txt", "backup", 1500000000);
    folder.write("backup/only-backup.txt", "b", 1600000000);
    ASSERT_TRUE(compare()) << error;
    const auto before = result_rows();
    ASSERT_EQ(before.size(), 3u);

    config::xml_parameters store;
    ASSERT_TRUE(store.load(folder.write("settings.xml", "<?xml version=\"1.0\"?><Tarvoline/>").string()));
    ASSERT_TRUE(settings_keys::write_text(store, settings_keys::export_file("DB"), "catalogue.db"));
    const std::string dump = (folder.path() / "dump").string();
    captured_log captured;
    {
        file_picker_answer picker(dump);
        ASSERT_TRUE(dump_catalogue(catalogue, store, nullptr, captured.log));
        ASSERT_EQ(picker.requests.size(), 1u);
        EXPECT_EQ(picker.requests[0].file_name, "catalogue.db");
        EXPECT_EQ(picker.requests[0].default_extension, "db");
    }

    // Another comparison replaces the rows; loading the dump brings the first ones back.
    folder.write("main/later.txt", "l", 1600000000);
    ASSERT_TRUE(compare()) << error;
    ASSERT_NE(result_rows(), before);
    std::string loaded;
    {
        file_picker_answer picker(dump + ".db");
        ASSERT_TRUE(load_catalogue(catalogue, 15, nullptr, captured.log, loaded));
        EXPECT_TRUE(picker.requests[0].open);
    }
    EXPECT_EQ(loaded, dump + ".db");
    EXPECT_EQ(result_rows(), before);
    // The mask applies to the rebuilt rows.
    ASSERT_TRUE(load_catalogue_from(catalogue, dump + ".db", 2, captured.log));
    EXPECT_EQ(result_rows(), std::vector<std::string>({"BACKUP only-main.txt"}));
    EXPECT_EQ(captured.lines(), std::vector<std::string>({"INFO Database dumped into " + dump + ".db"}));
}

TEST_F(catalogue_file_test, a_file_that_is_no_database_keeps_the_rows_and_is_one_error)
{
    folder.write("main/a.txt", "a", 1600000000);
    ASSERT_TRUE(compare()) << error;
    const auto before = result_rows();
    const auto text_file = folder.write("notes.db", "this is a text file, not a catalogue\n");
    const std::string fifo = (folder.path() / "pipe.db").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    captured_log captured;
    EXPECT_FALSE(load_catalogue_from(catalogue, text_file.string(), 15, captured.log));
    EXPECT_FALSE(load_catalogue_from(catalogue, fifo, 15, captured.log));
    EXPECT_FALSE(load_catalogue_from(catalogue, (folder.path() / "missing.db").string(), 15, captured.log));
    EXPECT_EQ(result_rows(), before);
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(result_rows(), before);
    const auto lines = captured.lines();
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines)
        EXPECT_EQ(line.rfind("ERROR ", 0), 0u) << line;
    EXPECT_EQ(lines[0], "ERROR file is not a database");
    EXPECT_EQ(lines[1], "ERROR Unable to load " + fifo + ": not a regular file");
}

TEST_F(catalogue_file_test, an_empty_foreign_or_incomplete_database_keeps_the_catalogue)
{
    folder.write("main/a.txt", "a", 1600000000);
    ASSERT_TRUE(compare()) << error;
    const auto before = result_rows();
    const std::string empty = folder.write("empty.db", "").string();
    const std::string foreign = (folder.path() / "foreign.db").string();
    const std::string incomplete = (folder.path() / "incomplete.db").string();
    {
        db::sqlite_db other;
        ASSERT_TRUE(other.open(foreign, db::sqlite_db::file_mode));
        ASSERT_TRUE(other.execute("CREATE TABLE notes (line TEXT); INSERT INTO notes VALUES ('x');"));
    }
    {
        db::sqlite_db other;
        ASSERT_TRUE(other.open(incomplete, db::sqlite_db::file_mode));
        ASSERT_TRUE(other.execute("CREATE TABLE [FILE] (ID INTEGER PRIMARY KEY, NAME TEXT);"
                                  "CREATE TABLE [BACKUP] (ID INTEGER PRIMARY KEY, NAME TEXT);"));
    }
    captured_log captured;
    EXPECT_FALSE(load_catalogue_from(catalogue, empty, 15, captured.log));
    EXPECT_FALSE(load_catalogue_from(catalogue, foreign, 15, captured.log));
    EXPECT_FALSE(load_catalogue_from(catalogue, incomplete, 15, captured.log));
    EXPECT_EQ(result_rows(), before);
    // The catalogue still has its tables: the next comparison works without a restart.
    folder.write("main/b.txt", "b", 1600000000);
    ASSERT_TRUE(compare()) << error;
    EXPECT_EQ(result_rows(), std::vector<std::string>({"BACKUP a.txt", "BACKUP b.txt"}));
    const auto lines = captured.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "ERROR Unable to load " + empty + ": it has no table BACKUP");
    EXPECT_EQ(lines[1], "ERROR Unable to load " + foreign + ": it has no table BACKUP");
    EXPECT_EQ(lines[2], "ERROR Unable to load " + incomplete + ": its table BACKUP has no column BACKUP_ID");
}

}  // namespace
