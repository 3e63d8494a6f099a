#include "catalogue_fixture.h"

namespace catalogue_test {
namespace {

namespace bfs = boost::filesystem;

class differences : public catalogue_fixture {
protected:
    // One file of every kind, plus an identical pair that gives no row.
    void write_mix()
    {
        write_main("same.txt", "same", 1600000000);
        write_backup("same.txt", "same", 1600000000);
        write_main("x/only-main.txt", "main", 1600000001);
        write_backup("y/only-backup.txt", "backup!", 1600000002);
        write_main("size.txt", "1234", 1600000003);
        write_backup("size.txt", "123456", 1600000003);
        write_main("x/time.txt", "tt", 1600000009);
        write_backup("x/time.txt", "ttt", 1600000004);
    }
};

TEST_F(differences, whole_comparison_fills_every_kind_with_its_cells)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    ASSERT_EQ(table, archive.result.get());
    EXPECT_EQ(table->column_keys,
              (std::vector<std::string> { "file_id", "file_name", "file_fullpath", "file_size", "file_time", "backup_id",
                                          "backup_name", "backup_fullpath", "backup_size", "backup_time", "diff" }));
    EXPECT_EQ(table->column_headings[2], "File Path");
    EXPECT_EQ(table->column_headings[10], "Difference");
    ASSERT_EQ(table->rows.size(), 4u);
    EXPECT_EQ(table->shown_rows, 4u);

    const auto named = by_name(*table);
    const std::string m = main_root.string();
    const std::string b = backup_root.string();
    const std::string only_main_id = scalar("select ID from [FILE] where NAME = 'only-main.txt'");
    EXPECT_EQ(named.at("only-main.txt")->cells,
              (std::vector<std::string> { only_main_id, "only-main.txt", m + "/x", "4", "1600000001", "", "", "", "", "", "BACKUP" }));
    const std::string only_backup_id = scalar("select ID from [BACKUP] where NAME = 'only-backup.txt'");
    EXPECT_EQ(named.at("only-backup.txt")->cells,
              (std::vector<std::string> { "", "", "", "", "", only_backup_id, "only-backup.txt", b + "/y", "7", "1600000002", "FILE" }));
    const auto& size = named.at("size.txt")->cells;
    EXPECT_EQ(std::vector<std::string>(size.begin() + 1, size.end()),
              (std::vector<std::string> { "size.txt", m, "4", "1600000003", size[5], "size.txt", b, "6", "1600000003", "SIZE" }));
    EXPECT_EQ(named.at("time.txt")->cells[10], "TIME");
    EXPECT_EQ(named.at("time.txt")->cells[7], b + "/x");
}

TEST_F(differences, mask_keeps_only_the_kinds_it_lets_through)
{
    write_mix();
    ASSERT_TRUE(compare(0)) << error;
    EXPECT_TRUE(table->rows.empty());
    ASSERT_TRUE(compare(11)) << error;
    std::multiset<std::string> kinds;
    for (const auto* row : table->rows)
        kinds.insert(row->cells[10]);
    EXPECT_EQ(kinds, (std::multiset<std::string> { "FILE", "BACKUP", "TIME" }));
    // Only the low four bits count.
    ASSERT_TRUE(compare(0xFFFFFFF4u)) << error;
    ASSERT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(table->rows[0]->cells[10], "SIZE");
}

TEST_F(differences, refill_sends_one_table_change)
{
    write_mix();
    std::vector<data::change_type> changes;
    archive.result->on_change = [&changes](const std::uint64_t&, const std::uint64_t&, const data::change_type& kind) {
        changes.push_back(kind);
    };
    ASSERT_TRUE(compare(15)) << error;
    EXPECT_EQ(changes, std::vector<data::change_type> { data::table_changed });
    EXPECT_TRUE(archive.result->notify);
}

TEST_F(differences, names_pair_exactly_by_case_and_folder)
{
    write_main("a.txt", "a");
    write_backup("A.txt", "a");
    write_main("x/same.txt", "s");
    write_backup("y/same.txt", "s");
    ASSERT_TRUE(compare(15)) << error;
    std::multiset<std::string> kinds;
    for (const auto* row : table->rows)
        kinds.insert(row->cells[10]);
    EXPECT_EQ(kinds, (std::multiset<std::string> { "FILE", "FILE", "BACKUP", "BACKUP" }));
}

TEST_F(differences, empty_backup_folder_text_only_runs_the_diff_script)
{
    write_main("a.txt", "a");
    write_backup("a.txt", "a");
    ASSERT_TRUE(compare(15)) << error;
    EXPECT_TRUE(table->rows.empty());
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    ASSERT_TRUE(archive.record_backup_folder("", table, error, 15)) << error;
    // The main recording emptied [BACKUP], and nothing recorded it again.
    ASSERT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(table->rows[0]->cells[10], "BACKUP");
}

TEST_F(differences, custom_condition_filters_on_result_columns)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    std::unique_ptr<data::data_table> filtered;
    ASSERT_TRUE(archive.run_diff_script("backup_size > 5", filtered, 15, error)) << error;
    std::multiset<std::string> names;
    for (const auto* row : filtered->rows)
        names.insert(row->cells[10] == "FILE" ? row->cells[6] : row->cells[1]);
    EXPECT_EQ(names, (std::multiset<std::string> { "only-backup.txt", "size.txt" }));

    ASSERT_TRUE(archive.run_diff_script("backup_size > 5", filtered, 1, error)) << error;
    ASSERT_EQ(filtered->rows.size(), 1u);
    archive.show_records(*filtered);
    ASSERT_EQ(archive.result->rows.size(), 1u);
    EXPECT_EQ(archive.result->rows[0]->cells, filtered->rows[0]->cells);
    EXPECT_EQ(archive.result->shown_rows, 1u);

    ASSERT_TRUE(archive.run_diff_script("", filtered, 15, error)) << error;
    EXPECT_EQ(filtered->rows.size(), 4u);
}

TEST_F(differences, raw_pointer_forms_replace_the_callers_table_and_hand_the_new_one_over)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    data::data_table* raw = nullptr;
    archive.create_result_table(raw);
    std::unique_ptr<data::data_table> held(raw);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->column_keys.size(), 11u);

    // Each call destroys the table it is given: a leak or a double free shows under the sanitizer.
    raw = held.release();
    ASSERT_TRUE(archive.run_diff_script("backup_size > 5", raw, 15, error)) << error;
    held.reset(raw);
    EXPECT_EQ(held->rows.size(), 2u);
    raw = held.release();
    EXPECT_FALSE(archive.run_diff_script("no_such_column = 1", raw, 15, error));
    held.reset(raw);
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(held->rows.empty());
}

TEST_F(differences, bad_condition_and_second_statement_leave_the_catalogue_intact)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    std::unique_ptr<data::data_table> filtered;
    EXPECT_FALSE(archive.run_diff_script("no_such_column = 1", filtered, 15, error));
    EXPECT_NE(error.find("no_such_column"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(archive.run_diff_script("1; DELETE FROM [FILE]", filtered, 15, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(archive.run_diff_script("1; DROP TABLE [BACKUP]; --", filtered, 15, error));
    EXPECT_EQ(scalar("select count(*) from [FILE]"), "4");
    EXPECT_EQ(scalar("select count(*) from [BACKUP]"), "4");
    ASSERT_NE(filtered, nullptr);
    EXPECT_TRUE(filtered->rows.empty());

    // A semicolon inside a literal is part of the one expression.
    EXPECT_TRUE(archive.run_diff_script("file_name <> 'a;b'", filtered, 15, error)) << error;
    EXPECT_EQ(filtered->rows.size(), 3u);
}

TEST_F(differences, condition_text_is_checked_in_one_pass_and_refused_when_unusable)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    std::unique_ptr<data::data_table> filtered;
    // Many semicolons inside a literal: each one used to restart the check from the beginning.
    const std::string semicolons(150000, ';');
    ASSERT_TRUE(archive.run_diff_script("file_name <> '" + semicolons + "'", filtered, 15, error)) << error;
    EXPECT_EQ(filtered->rows.size(), 3u);

    const char cut_text[] = "file_name = 'size.txt'\0 or 1";
    const std::string cut(cut_text, sizeof cut_text - 1);
    EXPECT_FALSE(archive.run_diff_script(cut, filtered, 15, error));
    EXPECT_NE(error.find("NUL"), std::string::npos) << error;
    const char script[] = "select 1\0; select 2";
    EXPECT_FALSE(archive.prepare_script("Cut", std::string(script, sizeof script - 1), error));
    EXPECT_NE(error.find("NUL"), std::string::npos) << error;
    EXPECT_FALSE(archive.run_diff_script(" \t\n", filtered, 15, error));
    EXPECT_NE(error.find("blank"), std::string::npos) << error;
}

TEST_F(differences, endless_condition_is_stopped_at_its_time_limit)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    archive.condition_time_limit = std::chrono::milliseconds(100);
    std::unique_ptr<data::data_table> filtered;
    EXPECT_FALSE(archive.run_diff_script(
        "(with recursive c(x) as (select 1 union all select x + 1 from c) select count(*) from c) > 0", filtered,
        15, error));
    EXPECT_NE(error.find("longer than"), std::string::npos) << error;
    // The connection serves the next condition as usual.
    ASSERT_TRUE(archive.run_diff_script("file_size > 3", filtered, 15, error)) << error;
    EXPECT_EQ(filtered->rows.size(), 2u);
}

TEST_F(differences, endless_diff_script_is_stopped_at_the_same_limit)
{
    write_mix();
    ASSERT_TRUE(compare(15)) << error;
    const std::size_t shown = table->rows.size();
    ASSERT_TRUE(archive.prepare_script(
        "Endless",
        "select 1,2,3,4,5,6,7,8,9,10,'FILE' where 0 = ? and 0 = ? and 0 = ? and "
        "(with recursive c(x) as (select 1 union all select x + 1 from c) select count(*) from c) > 0",
        error)) << error;
    archive.diff_script = "Endless";
    archive.condition_time_limit = std::chrono::milliseconds(100);
    EXPECT_FALSE(compare(15));
    EXPECT_EQ(error, "The statement ran longer than 100 milliseconds and was stopped");
    EXPECT_EQ(table->rows.size(), shown);
    // The connection serves the next comparison as usual.
    archive.diff_script = "MergeDifferences";
    ASSERT_TRUE(compare(15)) << error;
    EXPECT_EQ(table->rows.size(), shown);
}

TEST_F(differences, diff_script_pairs_through_the_schema_indexes)
{
    std::string text;
    ASSERT_TRUE(archive.scripts.get_text("MergeDifferences", text));
    std::string plan;
    for (const auto& row : rows("explain query plan " + text))
        plan += row.back() + "\n";
    EXPECT_NE(plan.find("USING COVERING INDEX BACKUP_BY_PLACE"), std::string::npos) << plan;
    EXPECT_NE(plan.find("USING COVERING INDEX FILE_BY_PLACE"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("SCAN B"), std::string::npos) << plan;
}

TEST_F(differences, wider_script_fills_eleven_cells_and_masks_on_its_last_value)
{
    ASSERT_TRUE(archive.prepare_script("Wide",
                                       "select 1,2,3,4,5,6,7,8,9,10,'eleven','TIME' where 0 = ? and 0 = ? and 0 = ? "
                                       "union all select 1,2,3,4,5,6,7,8,9,10,11,'time'",
                                       error)) << error;
    archive.diff_script = "Wide";
    ASSERT_TRUE(archive.record_main_folder(error)) << error;
    ASSERT_TRUE(archive.record_backup_folder("", table, error, 15)) << error;
    ASSERT_EQ(table->rows.size(), 1u);
    EXPECT_EQ(table->rows[0]->cells[10], "eleven");
}

TEST_F(differences, scripts_are_found_prepared_and_refused_by_name)
{
    archive.diff_script = "Missing";
    EXPECT_FALSE(archive.query_differences(0, table, 15, error));
    EXPECT_EQ(error, "Diff script Missing not found");
    EXPECT_FALSE(archive.load_scripts(resource("scripts.xml"), error));
    EXPECT_EQ(error, "Unable to find script Missing");
    std::unique_ptr<data::data_table> filtered;
    EXPECT_FALSE(archive.run_diff_script("", filtered, 15, error));
    EXPECT_EQ(error, "Unable to find script Missing");

    std::uint64_t first = 0;
    ASSERT_TRUE(archive.statement_id("MergeDifferences", first));
    EXPECT_FALSE(archive.prepare_script("MergeDifferences", "select 1", error));
    std::uint64_t kept = 0;
    ASSERT_TRUE(archive.statement_id("MergeDifferences", kept));
    EXPECT_EQ(kept, first);
    EXPECT_TRUE(archive.prepare_script("MergeDifferences", "select 1", error, true)) << error;
    ASSERT_TRUE(archive.statement_id("MergeDifferences", kept));
    EXPECT_NE(kept, first);

    EXPECT_FALSE(archive.prepare_script("Broken", "selec nothing", error));
    EXPECT_NE(error.find("syntax error"), std::string::npos) << error;
    EXPECT_FALSE(archive.prepare_script("Empty", " \n ", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(archive.statement_id("Broken", kept));
    EXPECT_FALSE(archive.statement_id("Empty", kept));
    // SQLite would run a text of comments as nothing and answer no rows, as if it had run.
    EXPECT_FALSE(archive.prepare_script("Comments", "-- nothing yet\n/* still nothing */ ;\n", error));
    EXPECT_EQ(error, "Script Comments has no SQL text");
    EXPECT_TRUE(archive.prepare_script("Commented", "-- counts\nselect 1 /* one */", error)) << error;

    // A name is the same name in any letter case.
    ASSERT_TRUE(archive.statement_id("mergedifferences", kept));
    archive.diff_script = "MERGEDIFFERENCES";
    EXPECT_TRUE(archive.query_differences(0, table, 15, error)) << error;
}

TEST_F(differences, kind_of_one_pair_puts_time_before_size)
{
    const bfs::path a = write_main("a", "12", 1600000000);
    const bfs::path same = write_backup("same", "12", 1600000000);
    const bfs::path bigger = write_backup("bigger", "123", 1600000000);
    const bfs::path later = write_backup("later", "123", 1600000100);
    const bfs::path none = folder.path() / "none";
    EXPECT_EQ(archive.difference_kind(a, same), "");
    EXPECT_EQ(archive.difference_kind(a, bigger), "SIZE");
    EXPECT_EQ(archive.difference_kind(a, later), "TIME");
    EXPECT_EQ(archive.difference_kind(a, none), "BACKUP");
    EXPECT_EQ(archive.difference_kind(none, a), "FILE");
    EXPECT_EQ(archive.difference_kind(none, none / "x"), "");
}

TEST_F(differences, statistics_parse_the_row_and_count_the_given_tree)
{
    write_backup("x/y/a", "a");
    write_backup("z/b", "b");
    std::uint64_t files = 0, folders = 0, bytes = 0;
    std::int64_t newest = 0, oldest = 0;
    EXPECT_TRUE(archive.statistics({ "3", "1024", "100", "50" }, files, folders, bytes, newest, oldest, backup_root.string()));
    EXPECT_EQ(files, 3u);
    EXPECT_EQ(bytes, 1024u);
    EXPECT_EQ(newest, 100);
    EXPECT_EQ(oldest, 50);
    EXPECT_EQ(folders, 3u);

    EXPECT_TRUE(archive.statistics({ "0", "", "", "" }, files, folders, bytes, newest, oldest,
                                   (folder.path() / "none").string()));
    EXPECT_EQ(folders, 3u);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(newest, 0);
}

} // namespace
} // namespace catalogue_test
