#pragma once
// One SQLite connection of the catalogue: a database file or a shared in-memory database,
// SQL texts and files, prepared statements addressed by id, text result rows, whole-database
// copies through SQLite's online backup.
//
// One rule for callers: a declaration marked "throws" throws std::runtime_error (SQLite's message
// or a misuse text) and may also answer false; every other operation never throws and answers
// false with the reason in last_error().

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class sqlite_db {
    struct prepared_statement;

public:
    // One result row, its values as text in column order; NULL gives "".
    using record = std::vector<std::string>;
    // The context of row_callback: called once per result row.
    using row_handler = std::function<void(record&)>;

    // The result rows of one statement. Stepping an iterator stops for good at the end: a
    // failing step releases the statement and throws SQLite's message (also kept as the
    // connection's last error), so a loop that waits for the end never re-reads rows.
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = record;
        using difference_type = std::ptrdiff_t;
        using pointer = const record*;
        using reference = record;

        // The end iterator.
        iterator() = default;

        record values() const;
        // Column 0 of the current row. throws "Column index out of bound" for a statement
        // without columns and "Error retrieving data" for a NULL.
        std::string value() const;
        record operator*() const { return values(); }

        iterator& operator++();  // throws
        void operator++(int) { ++*this; }  // throws

        // Resets the statement so a prepared one can run again, and lets go of it.
        void release();

        // Equal when their states (the last step result) are equal.
        bool operator==(const iterator& other) const { return state_ == other.state_; }
        bool operator!=(const iterator& other) const { return state_ != other.state_; }

    private:
        friend class sqlite_db;
        struct cursor;
        iterator(sqlite_db* owner, std::shared_ptr<prepared_statement> statement);
        void advance();

        int state_ = 101;  // SQLITE_DONE
        std::weak_ptr<sqlite_db* const> owner_;
        int column_count_ = 0;
        // Copies share one cursor; the last copy to go resets the statement, so an abandoned
        // loop holds no lock. A later query or step of the same prepared statement takes it
        // over and this iterator ends; so does a new binding of it.
        std::shared_ptr<cursor> cursor_;
    };

    sqlite_db() = default;
    sqlite_db(const sqlite_db&) = delete;
    sqlite_db& operator=(const sqlite_db&) = delete;
    virtual ~sqlite_db();

    // Where a database lives: the file of its name, or memory shared by every connection that
    // opens the same name. open and make_uri take the value; a value that is no mode opens nothing.
    enum storage_mode : std::int32_t { file_mode = 0, memory_mode = 1 };

    // Mode names in mode order: "file" (file_mode), "memory" (memory_mode).
    static void modes(std::vector<std::string>& list);
    static std::string make_uri(std::int32_t mode, const std::string& name);

    // True without change when already open.
    bool open(const std::string& name, std::int32_t mode);
    std::string last_error() const { return last_error_; }

    // The text may hold several statements.
    bool execute(const std::string& sql);
    // Runs every statement of the text and hands each result row to on_row. throws what on_row
    // throws, after SQLite has stopped.
    bool execute(const std::string& sql, const row_handler& on_row);
    bool execute_file(const std::string& path);
    // Empties (drop false) or drops (drop true) every table of the database but SQLite's own.
    // `kept` names a table left as it is (letter case aside); "" leaves none.
    bool clear_tables(bool drop, const std::string& kept = std::string());
    bool set_pragma(const std::string& name, const std::string& value, std::string& error /*out*/);
    bool begin_transaction();
    bool commit_transaction();
    bool rollback_transaction();

    // Ids run 0, 1, 2 ... in the order of preparation. throws SQLite's message.
    std::uint64_t prepare(const std::string& sql);
    // throws "Invalid prepared statement id" for an id never prepared.
    void bind_int(std::uint64_t id, int index, std::int32_t value);
    void bind_int64(std::uint64_t id, int index, std::int64_t value);
    void bind_text(std::uint64_t id, int index, const std::string& value);
    // Binds the text where it lies, uncopied: it must stay unchanged until the parameter is bound
    // again or clear_bindings runs. For bulk inserts. throws as bind_text.
    void bind_text_in_place(std::uint64_t id, int index, const std::string& value);
    // Sets every parameter of the statement back to NULL. throws as bind_text.
    void clear_bindings(std::uint64_t id);
    // Runs the statement once and resets it. throws SQLite's message on an SQL error; false
    // for an unknown id.
    bool step(std::uint64_t id);
    // throws when the first step fails; false for an unknown id.
    bool query(std::uint64_t id, iterator& begin /*out*/, iterator& end /*out*/);

    // throws SQLite's message when the text doesn't compile or its first step fails.
    iterator begin(const std::string& sql);
    iterator end() { return iterator(); }
    // The first row of the result, when there is one, goes to row. throws as begin does; never
    // answers false.
    bool execute_scalar(const std::string& sql, record& row /*out*/);

    // sqlite3_exec callback; context is a row_handler*. Always lets execution go on.
    static int row_callback(void* context, int column_count, char** values, char** names);

    // Table name -> its column names.
    using table_columns = std::map<std::string, std::vector<std::string>>;
    // The tables of the main database and their columns, SQLite's own tables left out. throws.
    table_columns tables();

    // Copies the whole database to / from a database file. A load takes nothing but a regular
    // file that passes SQLite's integrity check and holds every table and column of `required`;
    // otherwise this database stays as it was.
    bool save_to_file(const std::string& path);
    bool load_from_file(const std::string& path, const table_columns& required = table_columns());

    // A way out of statements that run too long. SQLite's progress handler looks at the flag,
    // which another thread may set, and at the time limit; a statement found past either stops,
    // failing with a text that says which.
    void watch_cancel_flag(const std::atomic<bool>* flag) { cancel_flag_ = flag; }
    // Statements running while the limit lives stop once it has lasted `length`.
    class time_limit {
    public:
        time_limit(sqlite_db& database, std::chrono::milliseconds length);
        ~time_limit();
        time_limit(const time_limit&) = delete;
        time_limit& operator=(const time_limit&) = delete;

    private:
        sqlite_db& database_;
    };

    // The raw connection, for code that runs sqlite3_exec with row_callback itself.
    sqlite3* handle() const { return handle_; }

private:
    bool require_open();
    // Throws "Invalid prepared statement id"; ends a loop that still holds the statement.
    sqlite3_stmt* statement_to_bind(std::uint64_t id);
    std::string sqlite_message() const;
    bool copy_database(sqlite3* from, sqlite3* to, const std::string& path);
    static int on_progress(void* self);
    // The text of a failure with SQLite's result code: why a statement was stopped, when it was.
    std::string failure_text(int code);

    sqlite3* handle_ = nullptr;
    std::string last_error_;
    // Shared with the iterators over them, so a statement outlives neither.
    std::map<std::uint64_t, std::shared_ptr<prepared_statement>> statements;
    std::int32_t mode_ = 0;
    std::string name_;
    std::string uri_;
    bool closed_ = true;
    const std::atomic<bool>* cancel_flag_ = nullptr;
    bool timed_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::milliseconds time_allowed_ { 0 };
    std::string stop_reason_;
    // Lets an iterator that outlives its connection know it.
    std::shared_ptr<sqlite_db* const> self_ = std::make_shared<sqlite_db* const>(this);
};

} // namespace db
