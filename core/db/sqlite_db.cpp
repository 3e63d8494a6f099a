#include "core/db/sqlite_db.h"

#include <sqlite3.h>

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <sys/stat.h>

namespace db {

namespace {

const char* const invalid_statement_id = "Invalid prepared statement id";
const char* const database_not_open = "Database is not open";
const char* const holds_nul = "The SQL text holds a NUL byte; nothing of it was run";
// SQLite's machine steps between two looks at the cancel flag and the clock.
const int steps_between_checks = 10000;

// SQLite's own comparison of table names: ASCII letters without regard to case.
bool same_name(const std::string& first, const std::string& second)
{
    return first.size() == second.size()
        && std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) {
               return sqlite3_strnicmp(&a, &b, 1) == 0;
           });
}

bool has_nul(const std::string& sql)
{
    return sql.find('\0') != std::string::npos;
}

std::string seconds_text(std::chrono::milliseconds length)
{
    const auto count = length.count();
    if (count % 1000 == 0)
        return std::to_string(count / 1000) + (count == 1000 ? " second" : " seconds");
    return std::to_string(count) + " milliseconds";
}

sqlite_db::record make_record(int column_count, char** values)
{
    sqlite_db::record row;
    row.reserve(column_count > 0 ? column_count : 0);
    for (int column = 0; column < column_count; ++column)
        row.emplace_back(values && values[column] ? values[column] : "");
    return row;
}

std::string column_text(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (!text)
        return std::string();
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

// What execute() with a row handler hands to sqlite3_exec: an exception of the handler must
// not unwind through SQLite's C frames, so it is parked here and thrown again afterwards.
struct exec_context {
    const sqlite_db::row_handler* handler = nullptr;
    std::exception_ptr failure;
};

int exec_rows(void* context, int column_count, char** values, char** /*names*/)
{
    auto* exec = static_cast<exec_context*>(context);
    try {
        sqlite_db::record row = make_record(column_count, values);
        if (*exec->handler)
            (*exec->handler)(row);
    } catch (...) {
        exec->failure = std::current_exception();
        return 1;
    }
    return 0;
}

// Whether the text from `rest` to `end` holds anything but blanks, comments and semicolons.
// SQLite's own parser decides; compiling the rest runs none of it. A NUL byte ends what SQLite
// reads, so anything after one counts as more.
bool holds_more_statements(sqlite3* handle, const char* rest, const char* end)
{
    while (rest && rest < end) {
        if (*rest == '\0')
            return true;
        sqlite3_stmt* next = nullptr;
        const char* after = nullptr;
        const int result = sqlite3_prepare_v2(handle, rest, static_cast<int>(end - rest), &next, &after);
        sqlite3_finalize(next);
        if (result != SQLITE_OK || next)
            return true;
        if (after == rest)
            return false;
        rest = after;
    }
    return false;
}

// The tables and columns of one connection's main database, read with SQL so that any
// connection (the catalogue's or a file opened to be checked) answers alike. Throws.
sqlite_db::table_columns read_tables(sqlite3* connection)
{
    sqlite_db::table_columns found;
    sqlite3_stmt* statement = nullptr;
    const char* const sql = "SELECT m.name, p.name FROM sqlite_master AS m, pragma_table_info(m.name) AS p "
                            "WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                            "ORDER BY m.name, p.cid";
    if (sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw std::runtime_error(sqlite3_errmsg(connection));
    }
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW)
        found[column_text(statement, 0)].push_back(column_text(statement, 1));
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(connection));
    return found;
}

// Why a database file can't stand in for the catalogue, or "" when it can. Throws SQLite's
// message when the file can't be read as a database at all.
std::string unusable_because(sqlite3* file, const sqlite_db::table_columns& required)
{
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(file, "PRAGMA integrity_check(1)", -1, &check, nullptr) != SQLITE_OK) {
        sqlite3_finalize(check);
        throw std::runtime_error(sqlite3_errmsg(file));
    }
    const int result = sqlite3_step(check);
    const std::string verdict = result == SQLITE_ROW ? column_text(check, 0) : std::string();
    const std::string message = sqlite3_errmsg(file);
    sqlite3_finalize(check);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        throw std::runtime_error(message);
    if (verdict != "ok")
        return "it is damaged (" + verdict + ")";
    const sqlite_db::table_columns present = read_tables(file);
    for (const auto& table : required) {
        const auto found = present.find(table.first);
        if (found == present.end())
            return "it has no table " + table.first;
        for (const auto& column : table.second) {
            if (std::find(found->second.begin(), found->second.end(), column) == found->second.end())
                return "its table " + table.first + " has no column " + column;
        }
    }
    return std::string();
}

} // namespace

// ---- statements and iterators ------------------------------------------------------------

// Finalized with the last holder; sqlite3_close_v2 keeps the connection until then.
struct sqlite_db::prepared_statement {
    explicit prepared_statement(sqlite3_stmt* handle) : handle(handle) {}
    prepared_statement(const prepared_statement&) = delete;
    prepared_statement& operator=(const prepared_statement&) = delete;
    ~prepared_statement() { sqlite3_finalize(handle); }

    sqlite3_stmt* handle = nullptr;
    // Counts the runs of the statement; a cursor acts only on the run it started.
    std::uint64_t run = 0;
};

struct sqlite_db::iterator::cursor {
    explicit cursor(std::shared_ptr<prepared_statement> statement)
        : statement(std::move(statement)), run(this->statement->run)
    {
    }
    cursor(const cursor&) = delete;
    cursor& operator=(const cursor&) = delete;
    ~cursor() { finish(); }

    bool current() const { return !finished && run == statement->run; }
    sqlite3_stmt* handle() const { return statement->handle; }

    void finish()
    {
        if (current())
            sqlite3_reset(statement->handle);
        finished = true;
    }

    std::shared_ptr<prepared_statement> statement;
    std::uint64_t run = 0;
    bool finished = false;
};

sqlite_db::iterator::iterator(sqlite_db* owner, std::shared_ptr<prepared_statement> statement)
    : owner_(owner->self_),
      column_count_(sqlite3_column_count(statement->handle)),
      cursor_(std::make_shared<cursor>(std::move(statement)))
{
}

void sqlite_db::iterator::advance()
{
    if (!cursor_ || !cursor_->current()) {
        release();
        return;
    }
    const int result = sqlite3_step(cursor_->handle());
    if (result == SQLITE_ROW) {
        state_ = SQLITE_ROW;
        return;
    }
    if (result == SQLITE_DONE) {
        release();
        return;
    }
    // SQLite would start the statement over on the next step: end here for good.
    std::string message = sqlite3_errmsg(sqlite3_db_handle(cursor_->handle()));
    if (const auto owner = owner_.lock()) {
        message = (*owner)->failure_text(result);
        (*owner)->last_error_ = message;
    }
    release();
    throw std::runtime_error(message);
}

sqlite_db::iterator& sqlite_db::iterator::operator++()
{
    advance();
    return *this;
}

sqlite_db::record sqlite_db::iterator::values() const
{
    record row;
    if (!cursor_ || !cursor_->current() || state_ != SQLITE_ROW)
        return row;
    row.reserve(static_cast<std::size_t>(column_count_));
    for (int column = 0; column < column_count_; ++column)
        row.push_back(column_text(cursor_->handle(), column));
    return row;
}

std::string sqlite_db::iterator::value() const
{
    if (column_count_ < 1)
        throw std::runtime_error("Column index out of bound");
    if (!cursor_ || !cursor_->current() || state_ != SQLITE_ROW || sqlite3_column_type(cursor_->handle(), 0) == SQLITE_NULL)
        throw std::runtime_error("Error retrieving data");
    return column_text(cursor_->handle(), 0);
}

void sqlite_db::iterator::release()
{
    // A released iterator equals the end, so a loop that waits for the end stops.
    if (cursor_)
        cursor_->finish();
    cursor_.reset();
    column_count_ = 0;
    state_ = SQLITE_DONE;
}

// ---- connection -------------------------------------------------------------------------

sqlite_db::~sqlite_db()
{
    statements.clear();
    if (handle_)
        sqlite3_close_v2(handle_);
}

void sqlite_db::modes(std::vector<std::string>& list)
{
    list.clear();
    list.emplace_back("file");
    list.emplace_back("memory");
}

std::string sqlite_db::make_uri(std::int32_t mode, const std::string& name)
{
    switch (mode) {
    case file_mode:
        return name;
    case memory_mode:
        return "file:" + name + "?mode=memory&cache=shared";
    default:
        return std::string();
    }
}

bool sqlite_db::open(const std::string& name, std::int32_t mode)
{
    if (!closed_)
        return true;
    mode_ = mode;
    name_ = name;
    uri_ = make_uri(mode, name);
    sqlite3* handle = nullptr;
    const int result = sqlite3_open_v2(uri_.c_str(), &handle,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    if (result != SQLITE_OK) {
        last_error_ = sqlite3_errstr(result);
        sqlite3_close_v2(handle);
        return false;
    }
    handle_ = handle;
    closed_ = false;
    sqlite3_progress_handler(handle_, steps_between_checks, &sqlite_db::on_progress, this);
    return true;
}

bool sqlite_db::require_open()
{
    if (!closed_)
        return true;
    last_error_ = database_not_open;
    return false;
}

std::string sqlite_db::sqlite_message() const
{
    return handle_ ? sqlite3_errmsg(handle_) : database_not_open;
}

bool sqlite_db::execute(const std::string& sql)
{
    return execute(sql, row_handler());
}

bool sqlite_db::execute(const std::string& sql, const row_handler& on_row)
{
    last_error_.clear();
    if (!require_open())
        return false;
    // SQLite would stop at the NUL and run only what comes before it.
    if (has_nul(sql)) {
        last_error_ = holds_nul;
        return false;
    }
    exec_context context;
    context.handler = &on_row;
    char* message = nullptr;
    const int result = sqlite3_exec(handle_, sql.c_str(), on_row ? &exec_rows : nullptr, &context, &message);
    if (context.failure) {
        sqlite3_free(message);
        std::rethrow_exception(context.failure);
    }
    if (result != SQLITE_OK) {
        const std::string reason = failure_text(result);
        last_error_ = (result & 0xff) == SQLITE_INTERRUPT ? reason : (message ? message : sqlite3_errstr(result));
        sqlite3_free(message);
        return false;
    }
    return true;
}

int sqlite_db::row_callback(void* context, int column_count, char** values, char** /*names*/)
{
    const auto* handler = static_cast<const row_handler*>(context);
    if (!handler || !*handler)
        return 0;
    // An exception must not unwind through SQLite's C frames; stopping the statement is the
    // only report left.
    try {
        record row = make_record(column_count, values);
        (*handler)(row);
    } catch (...) {
        return 1;
    }
    return 0;
}

bool sqlite_db::execute_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        last_error_ = "Unable to open file " + path;
        return false;
    }
    std::string sql;
    try {
        sql.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        // A folder opens like a file and only fails to read.
        last_error_ = "Unable to open file " + path;
        return false;
    }
    return execute(sql);
}

bool sqlite_db::clear_tables(bool drop, const std::string& kept)
{
    last_error_.clear();
    if (!require_open())
        return false;
    std::vector<std::string> commands;
    try {
        // The listing must end before any table is touched: a table being read can't be dropped.
        for (auto row = begin("SELECT name FROM sqlite_master WHERE type='table';"); row != end(); ++row) {
            const std::string name = row.value();
            // SQLite's own tables (sqlite_sequence above all) refuse DROP.
            if (name.compare(0, 7, "sqlite_") == 0 || same_name(name, kept))
                continue;
            std::string quoted = "\"";
            for (char c : name) {
                quoted += c;
                if (c == '"')
                    quoted += '"';
            }
            quoted += '"';
            commands.push_back((drop ? "DROP TABLE IF EXISTS " : "DELETE FROM ") + quoted + ";");
        }
    } catch (const std::exception& error) {
        last_error_ = error.what();
        return false;
    }
    std::string first_failure;
    for (const auto& command : commands) {
        if (!execute(command) && first_failure.empty())
            first_failure = last_error_;
    }
    last_error_ = first_failure;
    return first_failure.empty();
}

bool sqlite_db::set_pragma(const std::string& name, const std::string& value, std::string& error)
{
    if (!execute("PRAGMA " + name + "=" + value)) {
        error = last_error_;
        return false;
    }
    return true;
}

bool sqlite_db::begin_transaction()
{
    return execute("BEGIN TRANSACTION");
}

bool sqlite_db::commit_transaction()
{
    return execute("COMMIT TRANSACTION");
}

bool sqlite_db::rollback_transaction()
{
    return execute("ROLLBACK TRANSACTION");
}

// ---- prepared statements ----------------------------------------------------------------

std::uint64_t sqlite_db::prepare(const std::string& sql)
{
    if (!require_open())
        throw std::runtime_error(database_not_open);
    if (has_nul(sql))
        throw std::runtime_error(holds_nul);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int result =
        sqlite3_prepare_v2(handle_, sql.data(), static_cast<int>(sql.size()), &statement, &tail);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw std::runtime_error(sqlite_message());
    }
    // A text of blanks or comments compiles to no statement at all.
    if (!statement)
        throw std::runtime_error("No SQL statement in " + sql);
    // Only the first statement would ever run: a script holding more is refused whole rather
    // than cut short without a word.
    if (holds_more_statements(handle_, tail, sql.data() + sql.size())) {
        sqlite3_finalize(statement);
        throw std::runtime_error("More than one SQL statement in " + sql);
    }
    const std::uint64_t id = statements.size();
    statements.emplace(id, std::make_shared<prepared_statement>(statement));
    return id;
}

sqlite3_stmt* sqlite_db::statement_to_bind(std::uint64_t id)
{
    const auto found = statements.find(id);
    if (found == statements.end())
        throw std::runtime_error(invalid_statement_id);
    // SQLite refuses bindings on a statement that an unfinished loop still holds, and the next
    // run would silently use the old values: that loop ends here instead.
    if (sqlite3_stmt_busy(found->second->handle)) {
        ++found->second->run;
        sqlite3_reset(found->second->handle);
    }
    return found->second->handle;
}

void sqlite_db::bind_int(std::uint64_t id, int index, std::int32_t value)
{
    sqlite3_bind_int64(statement_to_bind(id), index, value);
}

void sqlite_db::bind_int64(std::uint64_t id, int index, std::int64_t value)
{
    sqlite3_bind_int64(statement_to_bind(id), index, value);
}

void sqlite_db::bind_text(std::uint64_t id, int index, const std::string& value)
{
    sqlite3_bind_text64(statement_to_bind(id), index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void sqlite_db::bind_text_in_place(std::uint64_t id, int index, const std::string& value)
{
    sqlite3_bind_text64(statement_to_bind(id), index, value.data(), value.size(), SQLITE_STATIC, SQLITE_UTF8);
}

void sqlite_db::clear_bindings(std::uint64_t id)
{
    sqlite3_clear_bindings(statement_to_bind(id));
}

bool sqlite_db::step(std::uint64_t id)
{
    const auto found = statements.find(id);
    if (found == statements.end()) {
        last_error_ = invalid_statement_id;
        return false;
    }
    prepared_statement& prepared_run = *found->second;
    ++prepared_run.run;
    sqlite3_stmt* prepared = prepared_run.handle;
    if (sqlite3_stmt_busy(prepared))
        sqlite3_reset(prepared);
    const int result = sqlite3_step(prepared);
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
        last_error_ = failure_text(result);
        sqlite3_reset(prepared);
        throw std::runtime_error(last_error_);
    }
    return sqlite3_reset(prepared) == SQLITE_OK;
}

bool sqlite_db::query(std::uint64_t id, iterator& begin, iterator& end)
{
    const auto found = statements.find(id);
    if (found == statements.end()) {
        last_error_ = invalid_statement_id;
        return false;
    }
    // A loop over this statement may have been left half-way: start from its first row.
    ++found->second->run;
    sqlite3_reset(found->second->handle);
    iterator first(this, found->second);
    first.advance();
    begin = first;
    end = this->end();
    return true;
}

sqlite_db::iterator sqlite_db::begin(const std::string& sql)
{
    if (!require_open())
        throw std::runtime_error(database_not_open);
    if (has_nul(sql))
        throw std::runtime_error(holds_nul);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw std::runtime_error(sqlite_message());
    }
    if (!statement)
        return end();
    iterator first(this, std::make_shared<prepared_statement>(statement));
    first.advance();
    return first;
}

bool sqlite_db::execute_scalar(const std::string& sql, record& row)
{
    iterator first = begin(sql);
    iterator last = end();
    if (first != last)
        row = first.values();
    first.release();
    last.release();
    return true;
}

// ---- long statements --------------------------------------------------------------------

sqlite_db::time_limit::time_limit(sqlite_db& database, std::chrono::milliseconds length) : database_(database)
{
    database_.timed_ = true;
    database_.time_allowed_ = length;
    database_.deadline_ = std::chrono::steady_clock::now() + length;
}

sqlite_db::time_limit::~time_limit()
{
    database_.timed_ = false;
}

int sqlite_db::on_progress(void* self)
{
    auto* database = static_cast<sqlite_db*>(self);
    if (database->cancel_flag_ && database->cancel_flag_->load(std::memory_order_relaxed)) {
        database->stop_reason_ = "The statement was cancelled";
        return 1;
    }
    if (database->timed_ && std::chrono::steady_clock::now() >= database->deadline_) {
        database->stop_reason_ = "The statement ran longer than " + seconds_text(database->time_allowed_)
            + " and was stopped";
        return 1;
    }
    return 0;
}

std::string sqlite_db::failure_text(int code)
{
    if ((code & 0xff) == SQLITE_INTERRUPT && !stop_reason_.empty()) {
        std::string reason;
        reason.swap(stop_reason_);
        return reason;
    }
    return sqlite_message();
}

sqlite_db::table_columns sqlite_db::tables()
{
    if (!require_open())
        throw std::runtime_error(database_not_open);
    return read_tables(handle_);
}

// ---- database copies --------------------------------------------------------------------

bool sqlite_db::copy_database(sqlite3* from, sqlite3* to, const std::string& path)
{
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        last_error_ = "Unable to open " + path;
        return false;
    }
    const int step_result = sqlite3_backup_step(backup, -1);
    // The finish leaves its code and message on the destination connection.
    if (sqlite3_backup_finish(backup) != SQLITE_OK) {
        last_error_ = sqlite3_errmsg(to);
        return false;
    }
    // Busy or locked end the step without marking the backup failed: nothing was copied.
    if (step_result != SQLITE_DONE) {
        last_error_ = sqlite3_errstr(step_result);
        return false;
    }
    return true;
}

bool sqlite_db::save_to_file(const std::string& path)
{
    if (path == uri_)
        return true;
    if (!require_open())
        return false;
    sqlite3* file = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (result != SQLITE_OK) {
        last_error_ = sqlite3_errstr(result);
        sqlite3_close(file);
        return false;
    }
    const bool copied = copy_database(handle_, file, path);
    const int closed = sqlite3_close(file);
    if (copied && closed != SQLITE_OK) {
        last_error_ = sqlite3_errstr(closed);
        return false;
    }
    return copied;
}

bool sqlite_db::load_from_file(const std::string& path, const table_columns& required)
{
    if (path == uri_)
        return true;
    if (!require_open())
        return false;
    // Opening a FIFO would wait for a writer, and a device is no catalogue.
    struct ::stat info;
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        last_error_ = "Unable to load " + path + ": it is not a regular file";
        return false;
    }
    // Read-only and never created: a missing file must fail, not load an empty catalogue.
    sqlite3* file = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &file, SQLITE_OPEN_READONLY, nullptr);
    if (result != SQLITE_OK) {
        last_error_ = sqlite3_errstr(result);
        sqlite3_close(file);
        return false;
    }
    // A damaged file or one without the catalogue's tables would load "successfully" and make
    // every later comparison fail; the current catalogue stays instead.
    std::string unusable;
    try {
        unusable = unusable_because(file, required);
    } catch (const std::exception& failure) {
        last_error_ = failure.what();
        sqlite3_close(file);
        return false;
    }
    if (!unusable.empty()) {
        last_error_ = "Unable to load " + path + ": " + unusable;
        sqlite3_close(file);
        return false;
    }
    const bool copied = copy_database(file, handle_, path);
    const int closed = sqlite3_close(file);
    if (copied && closed != SQLITE_OK) {
        last_error_ = sqlite3_errstr(closed);
        return false;
    }
    return copied;
}

} // namespace db
