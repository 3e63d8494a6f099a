// The custom condition and the custom script: any text either runs as the one filtering query
// or prepares as one statement, or it is refused. Either way the catalogue's tables and their
// rows are what they were before.
#include "fuzz_support.h"

#include "core/data/data_table.h"
#include "core/fs/file_archive.h"

#include <sqlite3.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

const std::string resources = TARVOLINE_SOURCE_DIR "/resources/";

std::unique_ptr<fs::file_archive> open_catalogue()
{
    auto archive = std::make_unique<fs::file_archive>();
    archive->database_file = "fuzz-catalogue";
    archive->schema_file = resources + "schema.sql";
    std::string error;
    FUZZ_CHECK(archive->open_database(error, db::sqlite_db::memory_mode), error);
    FUZZ_CHECK(archive->load_scripts(resources + "scripts.xml", error), error);
    FUZZ_CHECK(archive->database.execute(
                   "insert into [FILE] (NAME, FULL_PATH, RELATIVE_PATH, EXTENSION, SIZE, LAST_WRITE_TIME) values "
                   "('a.txt', '/m', '', 'txt', 5, 100), ('b;c.txt', '/m/d', 'd', 'txt', 7, 200), "
                   "('only-main', '/m', '', '', 0, 300);"
                   "insert into [BACKUP] (BACKUP_ID, NAME, FULL_PATH, RELATIVE_PATH, EXTENSION, SIZE, LAST_WRITE_TIME) "
                   "values (0, 'a.txt', '/b', '', 'txt', 6, 100), (0, 'b;c.txt', '/b/d', 'd', 'txt', 7, 250), "
                   "(0, 'only-backup', '/b', '', '', 1, 400);"),
               archive->database.last_error());
    // A condition may legitimately ask for endless or huge work (a recursive query, a giant
    // blob); the catalogue's own time limit stops the first, a length limit the second.
    archive->condition_time_limit = std::chrono::milliseconds(250);
    sqlite3_limit(archive->database.handle(), SQLITE_LIMIT_LENGTH, 1 << 20);
    return archive;
}

// Everything a statement could have changed: the schema and every row of both tables.
std::string fingerprint(db::sqlite_db& database)
{
    std::string text = std::to_string(sqlite3_total_changes(database.handle())) + "\n";
    for (const char* sql : { "select type, name, tbl_name, sql from sqlite_master order by name",
                             "select * from [FILE] order by ID", "select * from [BACKUP] order by ID" }) {
        for (auto row = database.begin(sql); row != database.end(); ++row) {
            for (const std::string& value : row.values())
                text += value + "\x1f";
            text += "\n";
        }
    }
    return text;
}

// What SQLite itself says: the text compiles to one statement and nothing but blanks, comments
// and semicolons follow it.
bool is_one_statement(sqlite3* handle, const std::string& sql)
{
    if (sql.find('\0') != std::string::npos)
        return false;
    const char* rest = sql.c_str();
    int statements = 0;
    while (*rest) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(handle, rest, -1, &statement, &tail) != SQLITE_OK)
            return false;
        if (statement)
            ++statements;
        sqlite3_finalize(statement);
        if (tail == rest)
            break;
        rest = tail;
    }
    return statements == 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A catalogue gathers every prepared statement until it closes; a fresh one now and then
    // keeps a long run's memory flat.
    static std::unique_ptr<fs::file_archive> archive;
    static unsigned inputs_seen = 0;
    if (!archive || ++inputs_seen % 500 == 0) {
        archive.reset();
        archive = open_catalogue();
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string before = fingerprint(archive->database);

    std::unique_ptr<data::data_table> table;
    std::string error;
    archive->run_diff_script(text, table, 15, error);
    FUZZ_CHECK(fingerprint(archive->database) == before, "a condition changed the catalogue: " + text);

    const bool prepared = archive->prepare_script("Custom", text, error, true);
    FUZZ_CHECK(fingerprint(archive->database) == before, "preparing a script changed the catalogue: " + text);
    if (prepared)
        FUZZ_CHECK(is_one_statement(archive->database.handle(), text), "more than one statement was accepted: " + text);
    return 0;
}
