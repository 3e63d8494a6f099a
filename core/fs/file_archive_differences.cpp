#include "core/fs/file_archive.h"

#include "core/data/data_table.h"
#include "core/fs/file_presence.h"
#include "core/utils/string_utils.h"

#include <boost/algorithm/string/replace.hpp>
#include <boost/filesystem.hpp>

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <utility>

namespace fs {

namespace bfs = boost::filesystem;

namespace {

const std::pair<const char*, const char*> result_columns[] = {
    { "file_id", "File ID" },
    { "file_name", "File Name" },
    { "file_fullpath", "File Path" },
    { "file_size", "File Size" },
    { "file_time", "File Time" },
    { "backup_id", "Backup ID" },
    { "backup_name", "Backup Name" },
    { "backup_fullpath", "Backup Path" },
    { "backup_size", "Backup Size" },
    { "backup_time", "Backup Time" },
    { "diff", "Difference" },
};
const std::size_t result_column_count = sizeof(result_columns) / sizeof(result_columns[0]);

bool only_blank(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

// True when `sql` holds more than one statement. SQLite's own parser finds where the first one
// ends (semicolons inside literals, quoted names and comments don't count) in one pass over the
// text; what follows may hold blanks, comments and empty statements only.
bool holds_second_statement(sqlite3* connection, const std::string& sql)
{
    const char* const end = sql.data() + sql.size();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int first = sqlite3_prepare_v2(connection, sql.data(), static_cast<int>(sql.size()), &statement, &tail);
    sqlite3_finalize(statement);
    // A first statement that doesn't compile fails the run with SQLite's message.
    if (first != SQLITE_OK || tail == nullptr)
        return false;
    while (tail < end) {
        statement = nullptr;
        const char* rest = nullptr;
        const int next = sqlite3_prepare_v2(connection, tail, static_cast<int>(end - tail), &statement, &rest);
        sqlite3_finalize(statement);
        if (next != SQLITE_OK || statement != nullptr)
            return true;
        if (rest == nullptr || rest <= tail)
            break;
        tail = rest;
    }
    return false;
}

} // namespace

bool holds_statement(const std::string& sql)
{
    for (std::size_t index = 0; index < sql.size();) {
        const char c = sql[index];
        if (c == ';' || c == ' ' || (c >= '\t' && c <= '\r')) {
            ++index;
        } else if (sql.compare(index, 2, "--") == 0) {
            const std::size_t end = sql.find('\n', index);
            index = end == std::string::npos ? sql.size() : end + 1;
        } else if (sql.compare(index, 2, "/*") == 0) {
            const std::size_t end = sql.find("*/", index + 2);
            index = end == std::string::npos ? sql.size() : end + 2;
        } else {
            return true;
        }
    }
    return false;
}

bool passes_mask(const std::string& kind, std::uint32_t mask)
{
    return (kind == file_archive::kind_missing_main && (mask & file_archive::mask_missing_main) != 0)
        || (kind == file_archive::kind_missing_backup && (mask & file_archive::mask_missing_backup) != 0)
        || (kind == file_archive::kind_size && (mask & file_archive::mask_size) != 0)
        || (kind == file_archive::kind_time && (mask & file_archive::mask_time) != 0);
}

void file_archive::create_result_table(std::unique_ptr<data::data_table>& table)
{
    auto made = std::make_unique<data::data_table>();
    for (std::size_t column = 0; column < result_column_count; ++column)
        made->set_column(column + 1, result_columns[column].first, result_columns[column].second);
    table = std::move(made);
}

void file_archive::create_result_table(data::data_table*& table)
{
    std::unique_ptr<data::data_table> owned(table);
    table = nullptr;
    create_result_table(owned);
    table = owned.release();
}

bool file_archive::load_scripts(const std::string& repository_file, std::string& error)
{
    if (!scripts.load(repository_file, error))
        return false;
    std::string text;
    if (!scripts.get_text(diff_script, text)) {
        error = "Unable to find script " + diff_script;
        return false;
    }
    // Loading again keeps the statement already prepared under the name.
    if (statements.count(diff_script) != 0)
        return true;
    return prepare_script(diff_script, text, error);
}

bool file_archive::prepare_script(const std::string& name, const std::string& sql, std::string& error,
                                  bool replace)
{
    if (!replace && statements.count(name) != 0) {
        error = "Script " + name + " is already prepared";
        return false;
    }
    if (!holds_statement(sql)) {
        error = "Script " + name + " has no SQL text";
        return false;
    }
    std::uint64_t id = no_statement;
    try {
        id = database.prepare(sql);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    statements[name] = id;
    return true;
}

bool file_archive::statement_id(const std::string& name, std::uint64_t& id) const
{
    const auto found = statements.find(name);
    if (found == statements.end())
        return false;
    id = found->second;
    return true;
}

bool file_archive::query_differences(std::int32_t backup_id, data::data_table*& table,
                                     const std::uint32_t& mask, std::string& error)
{
    std::uint64_t id = no_statement;
    if (!statement_id(diff_script, id)) {
        error = "Diff script " + diff_script + " not found";
        return false;
    }
    if (result == nullptr)
        create_result_table(result);
    db::sqlite_db::iterator row;
    db::sqlite_db::iterator end;
    try {
        // A script from the repository or the query window can run for ever (a recursive query)
        // as a condition can; it gets the conditions' limit.
        const db::sqlite_db::time_limit limit(database, condition_time_limit);
        for (int parameter = 1; parameter <= 3; ++parameter)
            database.bind_int(id, parameter, backup_id);
        if (!database.query(id, row, end)) {
            error = database.last_error();
            return false;
        }
        fill_result(row, end, mask);
    } catch (const std::exception& failure) {
        row.release();
        end.release();
        error = failure.what();
        return false;
    }
    table = result.get();
    return true;
}

void file_archive::fill_result(db::sqlite_db::iterator& row, db::sqlite_db::iterator& end, std::uint32_t mask)
{
    // Every row is read before the table changes: a step that fails halfway leaves the rows
    // on show as they were instead of a blank or partial list.
    std::vector<db::sqlite_db::record> kept;
    for (; row != end; ++row) {
        db::sqlite_db::record values = row.values();
        if (!values.empty() && passes_mask(values.back(), mask))
            kept.push_back(std::move(values));
    }
    row.release();
    end.release();
    result->notify = false;
    result->clear();
    for (const db::sqlite_db::record& values : kept) {
        data::data_row* added = result->add_row();
        const std::size_t cells = std::min(values.size(), result_column_count);
        for (std::size_t cell = 0; cell < cells; ++cell)
            added->set_cell(cell + 1, values[cell]);
    }
    result->end_update();
}

bool file_archive::run_diff_script(const std::string& condition, data::data_table*& table,
                                   const std::uint32_t& mask, std::string& error)
{
    std::unique_ptr<data::data_table> owned(table);
    table = nullptr;
    const bool ran = run_diff_script(condition, owned, mask, error);
    table = owned.release();
    return ran;
}

bool file_archive::run_diff_script(const std::string& condition, std::unique_ptr<data::data_table>& table,
                                   const std::uint32_t& mask, std::string& error)
{
    create_result_table(table);
    std::string text;
    if (!scripts.get_text(diff_script, text)) {
        error = "Unable to find script " + diff_script;
        return false;
    }
    if (condition.find('\0') != std::string::npos) {
        error = "The condition holds a NUL byte: only the text before it would be used";
        return false;
    }
    if (!condition.empty() && only_blank(condition)) {
        error = "The condition is blank: write an SQL expression, or leave it empty for every row";
        return false;
    }
    boost::algorithm::replace_all(text, "BACKUP_ID = ?", "BACKUP_ID = " + std::to_string(only_backup_id));
    std::string sql = "select * from (" + text + ") AS T";
    if (!condition.empty())
        sql += " where " + condition + ";";
    // The condition may only filter the rows: anything that would run as a further statement
    // is refused before SQLite sees it.
    if (holds_second_statement(database.handle(), sql)) {
        error = "The condition must be a single SQL expression: " + condition;
        return false;
    }
    try {
        // A condition can run for ever (a recursive query); the window waits on it.
        const db::sqlite_db::time_limit limit(database, condition_time_limit);
        auto row = database.begin(sql);
        const auto end = database.end();
        for (; row != end; ++row) {
            const db::sqlite_db::record values = row.values();
            if (!values.empty() && passes_mask(values.back(), mask))
                table->add_row_values(values);
        }
        row.release();
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

void file_archive::show_records(data::data_table& source)
{
    if (result == nullptr)
        create_result_table(result);
    if (&source == result.get()) {
        result->end_update();
        return;
    }
    result->notify = false;
    result->clear();
    const std::size_t columns = source.column_keys.size();
    for (auto row = source.begin(); row != source.end(); ++row) {
        const data::data_row& from = *row;
        data::data_row* added = result->add_row();
        for (std::size_t column = 1; column <= columns && column <= from.size(); ++column)
            added->set_cell(column, from.cell(column));
    }
    result->end_update();
}

std::string file_archive::difference_kind(const bfs::path& main_file, const bfs::path& backup_file) const
{
    const bool main_exists = present(main_file);
    const bool backup_exists = present(backup_file);
    if (main_exists && !backup_exists)
        return kind_missing_backup;
    if (!main_exists && backup_exists)
        return kind_missing_main;
    if (!main_exists)
        return std::string();
    boost::system::error_code main_error;
    boost::system::error_code backup_error;
    const std::time_t main_time = bfs::last_write_time(main_file, main_error);
    const std::time_t backup_time = bfs::last_write_time(backup_file, backup_error);
    if (main_time == backup_time) {
        const std::uintmax_t main_size = bfs::file_size(main_file, main_error);
        const std::uintmax_t backup_size = bfs::file_size(backup_file, backup_error);
        return main_size == backup_size ? std::string() : std::string(kind_size);
    }
    return kind_time;
}

bool file_archive::statistics(const db::sqlite_db::record& record, std::uint64_t& files,
                              std::uint64_t& folders, std::uint64_t& bytes, std::int64_t& time_a,
                              std::int64_t& time_b, const std::string& folder) const
{
    std::string ignored;
    statistics(record, files, folders, bytes, time_a, time_b, folder, ignored);
    return true;
}

bool file_archive::statistics(const db::sqlite_db::record& record, std::uint64_t& files,
                              std::uint64_t& folders, std::uint64_t& bytes, std::int64_t& time_a,
                              std::int64_t& time_b, const std::string& folder, std::string& error) const
{
    const auto value = [&record](std::size_t index) {
        return index < record.size() ? record[index] : std::string();
    };
    const std::string count = value(0);
    const std::string total = value(1);
    const std::string first_time = value(2);
    const std::string second_time = value(3);
    files = utils::string_utils::to_uint64(count.c_str(), count.size(), 0);
    bytes = utils::string_utils::to_uint64(total.c_str(), total.size(), 0);
    time_a = utils::string_utils::to_int64(first_time.c_str(), first_time.size());
    time_b = utils::string_utils::to_int64(second_time.c_str(), second_time.size());

    // A missing tree has no folders to count.
    boost::system::error_code missing;
    if (folder.empty() || !bfs::is_directory(to_path(folder), missing))
        return true;
    // The walk's error names the folder it was reading, not the one it failed to enter.
    bfs::path entering;
    try {
        dir_walker walker;
        walker.set_root(folder);
        auto walk = walker.walk();
        for (auto& entry = walk.first; entry != bfs::recursive_directory_iterator(); ++entry) {
            entering.clear();
            if (dir_walker::inspect(entry).type == bfs::directory_file) {
                ++folders;
                entering = entry->path();
            }
        }
    } catch (const bfs::filesystem_error& failure) {
        const bfs::path& named = entering.empty() ? failure.path1() : entering;
        const std::string where = named.empty() ? folder : named.string();
        error = "Unable to count the folders of " + where + ": " + failure.code().message();
        return false;
    } catch (const std::exception& failure) {
        error = "Unable to count the folders of " + folder + ": " + failure.what();
        return false;
    }
    return true;
}

} // namespace fs
