#include "core/db/sqlite_db.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <boost/filesystem.hpp>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using record = db::sqlite_db::record;
using test_support::temp_folder;

template <typename Call>
std::string error_text(Call call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no exception";
}

std::string unique_memory_name()
{
    return boost::filesystem::unique_path("catalogue-%%%%-%%%%-%%%%").string();
}

std::string scalar(db::sqlite_db& database, const std::string& sql)
{
    record row;
    database.execute_scalar(sql, row);
    return row.empty() ? "<none>" : row[0];
}

std::vector<record> all_rows(db::sqlite_db& database, const std::string& sql)
{
    std::vector<record> rows;
    for (auto it = database.begin(sql); it != database.end(); ++it)
        rows.push_back(it.values());
    return rows;
}

// A shared-memory catalogue with [FILE] and [BACKUP] as the catalogue's schema makes them.
struct memory_catalogue : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(database.open(name, db::sqlite_db::memory_mode)) << database.last_error();
        ASSERT_TRUE(database.execute(
            "CREATE TABLE [FILE] (NAME TEXT, FULL_PATH TEXT, SIZE INTEGER);"
            "CREATE TABLE [BACKUP] (BACKUP_ID INTEGER, NAME TEXT UNIQUE, FULL_PATH TEXT, SIZE INTEGER);"
            "INSERT INTO [FILE] VALUES ('a.txt', '/m', 1), ('b.txt', '/m/x', 2), ('c.txt', '/m/x', NULL);"
            "INSERT INTO [BACKUP] VALUES (0, 'a.txt', '/b', 1);"))
            << database.last_error();
    }

    std::string name = unique_memory_name();
    db::sqlite_db database;
};

TEST(sqlite_db, modes_and_uris)
{
    std::vector<std::string> list{"stale"};
    db::sqlite_db::modes(list);
    EXPECT_EQ(list, (std::vector<std::string>{"file", "memory"}));

    EXPECT_EQ(db::sqlite_db::make_uri(db::sqlite_db::file_mode, "/var/tmp/c.db"), "/var/tmp/c.db");
    EXPECT_EQ(db::sqlite_db::make_uri(db::sqlite_db::memory_mode, "catalogue"),
              "file:catalogue?mode=memory&cache=shared");
    EXPECT_EQ(db::sqlite_db::make_uri(2, "catalogue"), "");
    EXPECT_EQ(db::sqlite_db::make_uri(-1, "catalogue"), "");
}

TEST(sqlite_db, second_connection_to_a_shared_memory_name_sees_the_tables)
{
    const std::string name = unique_memory_name();
    db::sqlite_db first;
    ASSERT_TRUE(first.open(name, db::sqlite_db::memory_mode));
    ASSERT_TRUE(first.execute("CREATE TABLE t (a); INSERT INTO t VALUES (1), (2);"));

    db::sqlite_db second;
    ASSERT_TRUE(second.open(name, db::sqlite_db::memory_mode));
    EXPECT_EQ(scalar(second, "SELECT count(*) FROM t"), "2");

    db::sqlite_db other;
    ASSERT_TRUE(other.open(unique_memory_name(), db::sqlite_db::memory_mode));
    EXPECT_EQ(error_text([&] { scalar(other, "SELECT count(*) FROM t"); }), "no such table: t");
}

TEST(sqlite_db, file_mode_opens_the_path_and_reopening_changes_nothing)
{
    temp_folder folder;
    const std::string path = (folder.path() / "catalogue.db").string();
    db::sqlite_db database;
    ASSERT_TRUE(database.open(path, db::sqlite_db::file_mode));
    ASSERT_TRUE(database.execute("CREATE TABLE t (a);"));
    EXPECT_TRUE(boost::filesystem::exists(path));

    EXPECT_TRUE(database.open((folder.path() / "other.db").string(), db::sqlite_db::file_mode));
    EXPECT_FALSE(boost::filesystem::exists(folder.path() / "other.db"));

    // Mode 2 has no URI: SQLite makes a private temporary database.
    db::sqlite_db temporary;
    ASSERT_TRUE(temporary.open("ignored", 2));
    EXPECT_TRUE(temporary.execute("CREATE TABLE t (a);"));
}

TEST(sqlite_db, failed_open_reports_sqlite_text_and_leaves_the_connection_closed)
{
    temp_folder folder;
    db::sqlite_db database;
    EXPECT_FALSE(database.open((folder.path() / "missing" / "c.db").string(), db::sqlite_db::file_mode));
    EXPECT_EQ(database.last_error(), "unable to open database file");

    EXPECT_FALSE(database.execute("SELECT 1"));
    EXPECT_EQ(database.last_error(), "Database is not open");
    EXPECT_FALSE(database.clear_tables(false));
    EXPECT_FALSE(database.begin_transaction());
    EXPECT_EQ(error_text([&] { database.prepare("SELECT 1"); }), "Database is not open");
    EXPECT_EQ(error_text([&] { database.begin("SELECT 1"); }), "Database is not open");
    EXPECT_EQ(error_text([&] { database.bind_int(0, 1, 0); }), "Invalid prepared statement id");

    EXPECT_TRUE(database.open((folder.path() / "c.db").string(), db::sqlite_db::file_mode));
    EXPECT_TRUE(database.execute("SELECT 1"));
}

TEST_F(memory_catalogue, execute_runs_every_statement_and_reports_sqlite_messages)
{
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "3");

    EXPECT_FALSE(database.execute("INSERT INTO [FILE] VALUES ('d', '/m', 4); SELEC 1;"));
    EXPECT_EQ(database.last_error(), "near \"SELEC\": syntax error");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "4");

    EXPECT_TRUE(database.execute("SELECT 1"));
    EXPECT_EQ(database.last_error(), "");
}

TEST_F(memory_catalogue, execute_file_runs_a_script_or_names_the_missing_file)
{
    temp_folder folder;
    const auto script = folder.write("schema.sql", "CREATE TABLE extra (a);\nINSERT INTO extra VALUES ('x');\n");
    EXPECT_TRUE(database.execute_file(script.string()));
    EXPECT_EQ(scalar(database, "SELECT a FROM extra"), "x");

    const std::string missing = (folder.path() / "none.sql").string();
    EXPECT_FALSE(database.execute_file(missing));
    EXPECT_EQ(database.last_error(), "Unable to open file " + missing);
    EXPECT_FALSE(database.execute_file(folder.str()));
    EXPECT_EQ(database.last_error(), "Unable to open file " + folder.str());
}

TEST_F(memory_catalogue, pragmas_and_transactions)
{
    std::string error = "untouched";
    EXPECT_TRUE(database.set_pragma("synchronous", "OFF", error));
    EXPECT_EQ(scalar(database, "PRAGMA synchronous"), "0");
    EXPECT_TRUE(database.set_pragma("temp_store", "MEMORY", error));
    EXPECT_EQ(scalar(database, "PRAGMA temp_store"), "2");
    EXPECT_EQ(error, "untouched");

    EXPECT_FALSE(database.set_pragma("journal_mode", "OFF OFF", error));
    EXPECT_EQ(error, database.last_error());
    EXPECT_EQ(error, "near \"OFF\": syntax error");

    EXPECT_TRUE(database.begin_transaction());
    EXPECT_TRUE(database.execute("DELETE FROM [FILE]"));
    EXPECT_TRUE(database.rollback_transaction());
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "3");

    EXPECT_TRUE(database.begin_transaction());
    EXPECT_TRUE(database.execute("DELETE FROM [FILE] WHERE NAME = 'a.txt'"));
    EXPECT_TRUE(database.commit_transaction());
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "2");

    EXPECT_FALSE(database.commit_transaction());
    EXPECT_EQ(database.last_error(), "cannot commit - no transaction is active");
}

TEST_F(memory_catalogue, prepared_statements_get_ids_in_order_and_unknown_ids_fail)
{
    const auto insert = database.prepare("INSERT INTO [BACKUP] (BACKUP_ID, NAME, FULL_PATH, SIZE) VALUES (?, ?, ?, ?)");
    const auto remove = database.prepare("DELETE FROM [BACKUP] WHERE BACKUP_ID = ?");
    const auto select = database.prepare("SELECT NAME, SIZE FROM [BACKUP] WHERE BACKUP_ID = ? ORDER BY NAME");
    EXPECT_EQ(insert, 0u);
    EXPECT_EQ(remove, 1u);
    EXPECT_EQ(select, 2u);

    database.bind_int(insert, 1, -3);
    database.bind_text(insert, 2, "big \xE9t\xE9.bin");  // not UTF-8: stored as given
    database.bind_text(insert, 3, "/b");
    database.bind_int64(insert, 4, 5368709120LL);
    EXPECT_TRUE(database.step(insert));
    database.bind_text(insert, 2, "small.bin");  // the other bindings stay
    EXPECT_TRUE(database.step(insert));

    db::sqlite_db::iterator first, last;
    database.bind_int(select, 1, -3);
    ASSERT_TRUE(database.query(select, first, last));
    std::vector<record> rows;
    for (; first != last; ++first)
        rows.push_back(first.values());
    EXPECT_EQ(rows, (std::vector<record>{{"big \xE9t\xE9.bin", "5368709120"}, {"small.bin", "5368709120"}}));

    database.bind_int(remove, 1, -3);
    EXPECT_TRUE(database.step(remove));
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "1");

    EXPECT_FALSE(database.step(3));
    EXPECT_EQ(database.last_error(), "Invalid prepared statement id");
    database.execute("SELECT 1");
    EXPECT_FALSE(database.query(7, first, last));
    EXPECT_EQ(database.last_error(), "Invalid prepared statement id");
    EXPECT_EQ(error_text([&] { database.bind_text(3, 1, "x"); }), "Invalid prepared statement id");
    EXPECT_EQ(error_text([&] { database.bind_int(3, 1, 1); }), "Invalid prepared statement id");
    EXPECT_EQ(error_text([&] { database.bind_int64(99, 1, 1); }), "Invalid prepared statement id");

    EXPECT_EQ(error_text([&] { database.prepare("SELECT * FROM nowhere"); }), "no such table: nowhere");
    EXPECT_EQ(database.prepare("SELECT 1"), 3u);

    EXPECT_EQ(error_text([&] { database.prepare("SELECT 1; DELETE FROM [FILE]"); }),
              "More than one SQL statement in SELECT 1; DELETE FROM [FILE]");
    EXPECT_NE(error_text([&] { database.prepare(std::string("SELECT 1\0; DELETE FROM [FILE]", 29)); }), "")
        << "text hidden behind a NUL byte is refused too";
    EXPECT_EQ(database.prepare("SELECT 2; ;\n-- done\n/* really */"), 4u) << "blanks, comments and semicolons may follow";
}

TEST_F(memory_catalogue, failing_step_throws_and_leaves_the_statement_usable)
{
    const auto insert = database.prepare("INSERT INTO [BACKUP] (BACKUP_ID, NAME) VALUES (0, ?)");
    database.bind_text(insert, 1, "a.txt");
    EXPECT_EQ(error_text([&] { database.step(insert); }), "UNIQUE constraint failed: BACKUP.NAME");
    database.bind_text(insert, 1, "new.txt");
    EXPECT_TRUE(database.step(insert));
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "2");
}

TEST_F(memory_catalogue, queried_statement_runs_again_from_its_first_row)
{
    const auto select = database.prepare("SELECT NAME FROM [FILE] ORDER BY NAME");
    db::sqlite_db::iterator first, last;

    ASSERT_TRUE(database.query(select, first, last));
    EXPECT_EQ(first.value(), "a.txt");
    ++first;  // left half-way

    ASSERT_TRUE(database.query(select, first, last));
    std::vector<std::string> names;
    for (; first != last; ++first)
        names.push_back(first.value());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));

    // A loop left half-way holds no lock once its iterator is gone.
    {
        db::sqlite_db::iterator abandoned, end;
        database.query(select, abandoned, end);
    }
    EXPECT_TRUE(database.clear_tables(true)) << database.last_error();
}

TEST_F(memory_catalogue, binding_takes_effect_while_an_earlier_query_still_holds_its_first_row)
{
    // The usual lookup loop: bind, query, read the first row, keep the iterator until the next turn.
    const auto lookup = database.prepare("SELECT SIZE FROM [FILE] WHERE NAME = ?1");
    db::sqlite_db::iterator first, last;
    std::vector<std::string> sizes;
    for (const char* name : {"a.txt", "b.txt"}) {
        database.bind_text(lookup, 1, name);
        ASSERT_TRUE(database.query(lookup, first, last));
        sizes.push_back(first != last ? first.value() : "<none>");
    }
    EXPECT_EQ(sizes, (std::vector<std::string>{"1", "2"}));

    database.bind_text(lookup, 1, "c.txt");
    ASSERT_TRUE(database.query(lookup, first, last));
    EXPECT_EQ(first.values(), (record{""}));
}

TEST_F(memory_catalogue, iterator_values_and_value)
{
    const auto rows = all_rows(database, "SELECT NAME, SIZE FROM [FILE] ORDER BY NAME");
    EXPECT_EQ(rows, (std::vector<record>{{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", ""}}));

    auto it = database.begin("SELECT SIZE, NAME FROM [FILE] WHERE SIZE IS NULL");
    EXPECT_EQ(it.values(), (record{"", "c.txt"}));
    EXPECT_EQ(error_text([&] { it.value(); }), "Error retrieving data");
    ++it;
    EXPECT_TRUE(it == database.end());
    EXPECT_EQ(it.values(), record());
    EXPECT_EQ(error_text([&] { it.value(); }), "Column index out of bound");

    auto statement = database.begin("CREATE TABLE made_by_first_step (a)");
    EXPECT_TRUE(statement == database.end());
    EXPECT_EQ(error_text([&] { statement.value(); }), "Column index out of bound");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM made_by_first_step"), "0");

    EXPECT_EQ(error_text([&] { database.begin("SELECT missing_column FROM [FILE]"); }), "no such column: missing_column");

    // Released iterators are at the end and stay there.
    auto released = database.begin("SELECT NAME FROM [FILE]");
    released.release();
    EXPECT_TRUE(released == database.end());
    ++released;
    EXPECT_TRUE(released == database.end());
}

TEST_F(memory_catalogue, runtime_error_mid_iteration_ends_the_loop_instead_of_restarting)
{
    database.execute("CREATE TABLE numbers (x); INSERT INTO numbers VALUES (1), (2), (3), (4);");
    const std::string sql =
        "SELECT CASE WHEN x = ? THEN abs(x * 0 - 9223372036854775807 - 1) ELSE x END FROM numbers";

    std::vector<std::string> seen;
    std::string error;
    int steps = 0;
    auto it = database.begin("SELECT CASE WHEN x = 3 THEN abs(x * 0 - 9223372036854775807 - 1) ELSE x END "
                             "FROM numbers");
    try {
        for (; it != database.end() && steps < 10; ++it, ++steps)
            seen.push_back(it.value());
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(error, "integer overflow");
    EXPECT_EQ(database.last_error(), "integer overflow");
    EXPECT_TRUE(it == database.end());
    ++it;
    EXPECT_TRUE(it == database.end());

    // The same through a prepared statement, which stays usable afterwards.
    const auto select = database.prepare(sql);
    database.bind_int(select, 1, 3);
    db::sqlite_db::iterator first, last;
    ASSERT_TRUE(database.query(select, first, last));
    seen.clear();
    EXPECT_EQ(error_text([&] {
                  for (; first != last && seen.size() < 10; ++first)
                      seen.push_back(first.value());
              }),
              "integer overflow");
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(first == last);

    database.bind_int(select, 1, 99);
    ASSERT_TRUE(database.query(select, first, last));
    seen.clear();
    for (; first != last; ++first)
        seen.push_back(first.value());
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3", "4"}));

    // A failing first step throws at once.
    database.bind_int(select, 1, 1);
    EXPECT_EQ(error_text([&] { database.query(select, first, last); }), "integer overflow");
}

TEST_F(memory_catalogue, execute_scalar_takes_the_first_row_or_leaves_the_record)
{
    record row{"untouched"};
    EXPECT_TRUE(database.execute_scalar("SELECT NAME FROM [FILE] WHERE SIZE > 100", row));
    EXPECT_EQ(row, record{"untouched"});

    EXPECT_TRUE(database.execute_scalar("SELECT count(*), sum(SIZE), max(NAME) FROM [FILE]", row));
    EXPECT_EQ(row, (record{"3", "3", "c.txt"}));

    EXPECT_TRUE(database.execute_scalar("SELECT sum(SIZE) FROM [FILE] WHERE SIZE > 100", row));
    EXPECT_EQ(row, record{""});

    EXPECT_EQ(error_text([&] { database.execute_scalar("SELECT FROM", row); }), "near \"FROM\": syntax error");
}

TEST_F(memory_catalogue, row_callback_hands_every_row_to_the_callable)
{
    std::vector<record> rows;
    db::sqlite_db::row_handler collect = [&rows](record& row) { rows.push_back(row); };

    char* message = nullptr;
    ASSERT_EQ(sqlite3_exec(database.handle(), "SELECT NAME, SIZE FROM [FILE] ORDER BY NAME; SELECT 'x';",
                           &db::sqlite_db::row_callback, &collect, &message),
              SQLITE_OK);
    EXPECT_EQ(rows, (std::vector<record>{{"a.txt", "1"}, {"b.txt", "2"}, {"c.txt", ""}, {"x"}}));

    rows.clear();
    EXPECT_TRUE(database.execute("SELECT NAME FROM [FILE] WHERE SIZE = 2", collect));
    EXPECT_EQ(rows, (std::vector<record>{{"b.txt"}}));

    EXPECT_FALSE(database.execute("SELECT NAME FROM [FILE] WHERE", collect));
    EXPECT_EQ(database.last_error(), "incomplete input");

    // A callable that throws stops the statement; the exception never unwinds through SQLite.
    db::sqlite_db::row_handler failing = [](record&) { throw std::runtime_error("stop here"); };
    EXPECT_EQ(error_text([&] { database.execute("SELECT NAME FROM [FILE]", failing); }), "stop here");
    EXPECT_EQ(sqlite3_exec(database.handle(), "SELECT NAME FROM [FILE]", &db::sqlite_db::row_callback, &failing,
                           &message),
              SQLITE_ABORT);
    sqlite3_free(message);
}

TEST_F(memory_catalogue, clear_tables_empties_or_drops_every_user_table)
{
    EXPECT_TRUE(database.clear_tables(false)) << database.last_error();
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "0");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "0");

    ASSERT_TRUE(database.execute("CREATE TABLE counted (id INTEGER PRIMARY KEY AUTOINCREMENT, a);"
                                 "INSERT INTO counted (a) VALUES (1);"
                                 "CREATE TABLE [my table] (a); INSERT INTO [my table] VALUES (1);"
                                 "CREATE TABLE [select] (a); CREATE TABLE [say \"hi\"] (a);"));
    EXPECT_TRUE(database.clear_tables(false)) << database.last_error();
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [my table]"), "0");

    EXPECT_TRUE(database.clear_tables(true)) << database.last_error();
    EXPECT_EQ(scalar(database, "SELECT group_concat(name) FROM sqlite_master WHERE type = 'table'"),
              "sqlite_sequence");

    // A schema script runs again on the cleared database, as at every start.
    EXPECT_TRUE(database.execute("CREATE TABLE counted (id INTEGER PRIMARY KEY AUTOINCREMENT, a);"));
    EXPECT_TRUE(database.clear_tables(true)) << database.last_error();
}

TEST_F(memory_catalogue, clear_tables_leaves_the_kept_table_whatever_its_letter_case)
{
    ASSERT_TRUE(database.execute("CREATE TABLE [Files] (a); INSERT INTO [Files] VALUES (1);"));
    EXPECT_TRUE(database.clear_tables(false, "file")) << database.last_error();
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "3");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "0");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [Files]"), "0");
}

TEST_F(memory_catalogue, clear_tables_tries_every_table_and_reports_a_failure)
{
    database.execute("CREATE TABLE parent (id INTEGER PRIMARY KEY);"
                     "CREATE TABLE child (p REFERENCES parent(id));"
                     "INSERT INTO parent VALUES (1); INSERT INTO child VALUES (1);"
                     "PRAGMA foreign_keys = ON;");
    EXPECT_FALSE(database.clear_tables(false));
    EXPECT_EQ(database.last_error(), "FOREIGN KEY constraint failed");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "0");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM child"), "0");
}

TEST_F(memory_catalogue, save_and_load_round_trip_keeps_prepared_statements_usable)
{
    temp_folder folder;
    const std::string copy = (folder.path() / "dump.db").string();
    const auto insert = database.prepare("INSERT INTO [FILE] (NAME, FULL_PATH, SIZE) VALUES (?, '/m', 9)");
    const auto select = database.prepare("SELECT NAME FROM [FILE] ORDER BY NAME");

    ASSERT_TRUE(database.save_to_file(copy)) << database.last_error();
    EXPECT_TRUE(database.clear_tables(true));
    EXPECT_TRUE(database.execute("CREATE TABLE [FILE] (NAME TEXT, FULL_PATH TEXT, SIZE INTEGER);"));

    ASSERT_TRUE(database.load_from_file(copy)) << database.last_error();
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "1");

    database.bind_text(insert, 1, "d.txt");
    EXPECT_TRUE(database.step(insert));
    db::sqlite_db::iterator first, last;
    ASSERT_TRUE(database.query(select, first, last));
    std::vector<std::string> names;
    for (; first != last; ++first)
        names.push_back(first.value());
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));

    // Another connection of the process shares the loaded catalogue.
    db::sqlite_db second;
    ASSERT_TRUE(second.open(name, db::sqlite_db::memory_mode));
    EXPECT_EQ(scalar(second, "SELECT count(*) FROM [FILE]"), "4");

    // The file copy is a database of its own.
    db::sqlite_db reader;
    ASSERT_TRUE(reader.open(copy, db::sqlite_db::file_mode));
    EXPECT_EQ(scalar(reader, "SELECT count(*) FROM [FILE]"), "3");
}

TEST_F(memory_catalogue, load_failures_leave_the_catalogue_intact)
{
    temp_folder folder;
    const std::string missing = (folder.path() / "missing.db").string();
    EXPECT_FALSE(database.load_from_file(missing));
    EXPECT_EQ(database.last_error(), "unable to open database file");
    EXPECT_FALSE(boost::filesystem::exists(missing));

    const auto text = folder.write("notes.db", std::string(8192, 'x'));
    EXPECT_FALSE(database.load_from_file(text.string()));
    EXPECT_EQ(database.last_error(), "file is not a database");

    EXPECT_FALSE(database.load_from_file(folder.str()));
    EXPECT_FALSE(database.last_error().empty());

    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "3");
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "1");
}

TEST_F(memory_catalogue, endless_statement_stops_when_its_caller_cancels)
{
    std::atomic<bool> cancel { false };
    database.watch_cancel_flag(&cancel);
    auto endless = std::async(std::launch::async, [this] {
        return database.execute("with recursive c(x) as (select 1 union all select x + 1 from c) "
                                "select count(*) from c");
    });
    cancel = true;
    ASSERT_EQ(endless.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    EXPECT_FALSE(endless.get());
    EXPECT_NE(database.last_error().find("cancelled"), std::string::npos) << database.last_error();
    EXPECT_NE(error_text([this] { database.begin("with recursive c(x) as (select 1 union all select x + 1 from c) "
                                                 "select count(*) from c"); }).find("cancelled"),
              std::string::npos);
    cancel = false;
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [FILE]"), "3");
}

TEST_F(memory_catalogue, sql_with_a_nul_byte_is_refused_whole)
{
    const char text[] = "DELETE FROM [BACKUP]\0 WHERE 0";
    const std::string cut(text, sizeof text - 1);
    EXPECT_FALSE(database.execute(cut));
    EXPECT_NE(database.last_error().find("NUL"), std::string::npos) << database.last_error();
    EXPECT_NE(error_text([&] { database.prepare(cut); }).find("NUL"), std::string::npos);
    EXPECT_NE(error_text([&] { database.begin(cut); }).find("NUL"), std::string::npos);
    EXPECT_EQ(scalar(database, "SELECT count(*) FROM [BACKUP]"), "1");
}

TEST_F(memory_catalogue, save_failures_are_reported_and_same_uri_is_left_alone)
{
    temp_folder folder;
    EXPECT_FALSE(database.save_to_file((folder.path() / "none" / "dump.db").string()));
    EXPECT_EQ(database.last_error(), "unable to open database file");

    const auto text = folder.write("notes.txt", std::string(8192, 'x'));
    EXPECT_FALSE(database.save_to_file(text.string()));
    EXPECT_EQ(database.last_error(), "file is not a database");
    EXPECT_EQ(temp_folder::read(text), std::string(8192, 'x'));

    EXPECT_TRUE(database.save_to_file(db::sqlite_db::make_uri(db::sqlite_db::memory_mode, name)));
    EXPECT_TRUE(database.load_from_file(db::sqlite_db::make_uri(db::sqlite_db::memory_mode, name)));
}

TEST(sqlite_db, iterators_may_outlive_their_connection)
{
    db::sqlite_db::iterator from_text, from_prepared, end;
    {
        db::sqlite_db database;
        ASSERT_TRUE(database.open(unique_memory_name(), db::sqlite_db::memory_mode));
        ASSERT_TRUE(database.execute("CREATE TABLE t (a); INSERT INTO t VALUES (1), (2);"));
        from_text = database.begin("SELECT a FROM t");
        ASSERT_TRUE(database.query(database.prepare("SELECT a FROM t"), from_prepared, end));
    }
    EXPECT_EQ(from_text.value(), "1");
    EXPECT_EQ(from_prepared.value(), "1");
    ++from_text;
    EXPECT_EQ(from_text.value(), "2");
    ++from_text;
    EXPECT_TRUE(from_text == end);
}

} // namespace
