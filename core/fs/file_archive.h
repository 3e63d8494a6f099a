#pragma once
// The file catalogue: records the main tree and a backup tree into SQLite, turns them into the
// table of differences with the diff script of the scripts repository, and merges differences
// file by file under a decision callable. Every operation reports failure through its result and
// an error text; none of them throws.

#include "core/db/sqlite_db.h"
#include "core/fs/copy_record.h"
#include "core/fs/dir_walker.h"
#include "core/script_manager.h"
#include "core/utils/string_utils.h"

#include <boost/filesystem/path.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace data {
class data_table;
class data_row;
}

namespace fs {

class tree_scanner;

// The counters of a merge or a copy, owned by the caller and handed by pointer; each call adds
// to them. A failed row's share is taken back by the merge that counted it.
struct copy_counts {
    std::uint64_t bytes_handled { 0 };
    std::uint64_t entries_handled { 0 };
    std::uint64_t files_copied { 0 };
    std::uint64_t bytes_copied { 0 };

    copy_counts& operator+=(const copy_counts& other);
    copy_counts& operator-=(const copy_counts& other);
};

class file_archive : public dir_walker {
public:
    // (source or main root, target) of a folder creation or copy that mock mode skipped.
    using mock_action = std::function<void(const boost::filesystem::path& source,
                                           const boost::filesystem::path& target)>;
    // Main-side path first, backup side second: above 0 copies main onto backup, below 0 backup
    // onto main, 0 leaves both.
    using chooser = std::function<int(const boost::filesystem::path& main_side,
                                      const boost::filesystem::path& backup_side)>;
    // Runs for a merged row once its copy has passed every check (no linked folder on the way,
    // the same kind on both sides, a target as the comparison saw it), just before the target
    // is written; `replacing` when a file is there. False fails the row with `error`; a `code`
    // of no space left lets a merge of many rows free what its waiting copies hold and ask again.
    using before_copy = std::function<bool(const boost::filesystem::path& source,
                                           const boost::filesystem::path& target, bool replacing,
                                           std::string& error /*out*/, int& code /*out*/)>;

    // What a file copied onto an existing folder does: the merge refuses it as a row whose sides
    // differ in kind; a caller that means "copy into this folder" (the clipboard's Copy to) asks
    // for the file to go into the folder under its own name.
    enum class onto_folder { refuse, copy_into };

    // Difference kinds, the last value of every result row, and their mask bits.
    static constexpr const char* kind_missing_main = "FILE";
    static constexpr const char* kind_missing_backup = "BACKUP";
    static constexpr const char* kind_size = "SIZE";
    static constexpr const char* kind_time = "TIME";
    enum mask_bit : std::uint32_t {
        mask_missing_main = 1,
        mask_missing_backup = 2,
        mask_size = 4,
        mask_time = 8,
    };

    // The one backup tree's id: the tables and the diff script allow others, nothing makes them.
    static constexpr std::int32_t only_backup_id = 0;

    static constexpr std::uint64_t no_statement = std::numeric_limits<std::uint64_t>::max();

    file_archive();
    ~file_archive() override;
    file_archive(const file_archive&) = delete;
    file_archive& operator=(const file_archive&) = delete;

    // Opening and recording.
    void set_root(const std::string& folder);
    // The folder of the record of the copies in flight, outside both trees (the settings' folder):
    // after a process is killed mid-copy, the next comparison of any process removes the
    // temporaries its record names, even where the file system keeps no mark, and no comparison
    // takes a running process's temporaries for files. Where the record can't be written, no copy
    // is made and a merge stops. Empty keeps none.
    void set_copy_record_folder(const std::string& folder);
    bool open_database(std::string& error /*out*/, db::sqlite_db::storage_mode mode);
    bool record_main_folder(std::string& error /*out*/);
    // `table` is pointed at `result`, which stays the catalogue's.
    bool record_backup_folder(const std::string& folder, data::data_table*& table /*out*/,
                              std::string& error /*out*/, const std::uint32_t& mask);
    // The whole comparison: the same as record_main_folder, then record_backup_folder, with the
    // same rows and IDs; the backup tree is walked while the main tree is being recorded.
    bool record_folders(const std::string& backup_folder, data::data_table*& table /*out*/,
                        std::string& error /*out*/, const std::uint32_t& mask);
    static boost::filesystem::path relative_path(const boost::filesystem::path& path,
                                                 const boost::filesystem::path& root);

    // Differences and result rows. create_result_table and run_diff_script replace the caller's
    // table with one the caller owns; the raw-pointer forms take over the old table and hand
    // the new one back, and leave the pointer null if they throw.
    void create_result_table(std::unique_ptr<data::data_table>& table /*in, out*/);
    void create_result_table(data::data_table*& table /*in, out*/);
    bool load_scripts(const std::string& repository_file, std::string& error /*out*/);
    // Keeps the first statement of a name unless `replace` is set.
    bool prepare_script(const std::string& name, const std::string& sql, std::string& error /*out*/,
                        bool replace = false);
    bool statement_id(const std::string& name, std::uint64_t& id /*out*/) const;
    // `table` is pointed at `result`, which stays the catalogue's.
    bool query_differences(std::int32_t backup_id, data::data_table*& table /*out*/,
                           const std::uint32_t& mask, std::string& error /*out*/);
    bool run_diff_script(const std::string& condition, std::unique_ptr<data::data_table>& table /*in, out*/,
                         const std::uint32_t& mask, std::string& error /*out*/);
    bool run_diff_script(const std::string& condition, data::data_table*& table /*in, out*/,
                         const std::uint32_t& mask, std::string& error /*out*/);
    void show_records(data::data_table& source);
    std::string difference_kind(const boost::filesystem::path& main_file,
                                const boost::filesystem::path& backup_file) const;
    // Parses one row of count, bytes, time A, time B and adds the folders below `folder`.
    bool statistics(const db::sqlite_db::record& record, std::uint64_t& files /*out*/,
                    std::uint64_t& folders /*in, out*/, std::uint64_t& bytes /*out*/,
                    std::int64_t& time_a /*out*/, std::int64_t& time_b /*out*/,
                    const std::string& folder) const;
    // The same; a walk that stops part-way (an unreadable folder) answers false with the reason
    // and the folder in `error`, `folders` then holding only the count reached.
    bool statistics(const db::sqlite_db::record& record, std::uint64_t& files /*out*/,
                    std::uint64_t& folders /*in, out*/, std::uint64_t& bytes /*out*/,
                    std::int64_t& time_a /*out*/, std::int64_t& time_b /*out*/,
                    const std::string& folder, std::string& error /*out*/) const;

    // Merging. `counters` may be null; `error` collects one line per failed row, and the other
    // rows are merged all the same, unless the record of copies in flight can't be written: the
    // merge stops there. A row's target that is no longer what the comparison recorded is never
    // written.
    bool merge_rows(const std::string& backup_root, data::data_table& table,
                    copy_counts* counters, const chooser& choose, std::string& error /*out*/,
                    const before_copy& prepare = before_copy());
    bool merge_row(const std::string& backup_root, const data::data_row& row,
                   copy_counts* counters, const chooser& choose, std::string& error /*out*/,
                   const before_copy& prepare = before_copy());
    bool copy_with_choice(const boost::filesystem::path& first, const boost::filesystem::path& second,
                          copy_counts* counters, const chooser& choose, std::string& error /*out*/,
                          onto_folder folder_target = onto_folder::refuse);
    bool copy_entry(const boost::filesystem::path& source, const boost::filesystem::path& target,
                    copy_counts* counters, std::string& error /*out*/,
                    onto_folder folder_target = onto_folder::refuse);
    bool copy_file(const boost::filesystem::path& source, const boost::filesystem::path& target,
                   std::string& error /*out*/);

    // Replaces the catalogue with a database file saved earlier. A file that is no usable
    // catalogue (damaged, or without the tables and columns the schema makes) leaves the
    // current catalogue as it is.
    bool load_catalogue(const std::string& path, std::string& error /*out*/);

    db::sqlite_db database;
    std::string database_file;
    std::string schema_file;
    script_manager scripts;
    // The differences shown by the grid; made by create_result_table, lent to the callers of
    // query_differences.
    std::unique_ptr<data::data_table> result;
    bool mock_copy { false };
    mock_action on_mock_action;
    // Lines for the log that report no failure: the temporaries of interrupted copies that a
    // comparison or a merge removed. Called on the thread that runs the operation.
    using note_action = std::function<void(const std::string& line)>;
    note_action on_note;
    std::uint64_t file_insert_id { no_statement };
    std::uint64_t backup_insert_id { no_statement };
    std::uint64_t backup_delete_id { no_statement };
    // Keyed like the scripts repository, without regard to letter case.
    std::map<std::string, std::uint64_t, utils::string_utils::less_no_case> statements;
    std::string diff_script { "MergeDifferences" };
    // How long a custom condition, or the diff script, may run before it is stopped.
    std::chrono::milliseconds condition_time_limit { std::chrono::minutes(2) };
    std::uint64_t main_bytes { 0 };
    std::map<std::int32_t, std::uint64_t> backup_bytes;

    // What the comparison saw at one side of a row; a merge replaces a target only while it
    // still matches.
    struct recorded_target {
        bool present { false };
        std::uint64_t size { 0 };
        std::int64_t last_write_time { 0 };
    };

private:
    // The replaced files of a merge of many rows whose copies wait under their temporary names
    // for one flush to disk.
    struct replace_batch;
    // What one merge_rows or merge_row carries from row to row. The copies of the public calls
    // (a copy_with_choice made while a merge walks included) have none: they go to disk at once.
    struct merge_walk;

    // Settles the record of copies in flight when the outermost copying call returns.
    struct copying_scope;

    bool database_ready(std::string& error) const;
    void note_removed_temporaries(const std::string& folder, std::size_t count) const;
    // Removes the temporaries that the records of processes no longer running name, before a
    // comparison walks the trees.
    void remove_interrupted_copies();
    void empty_result();
    void fill_result(db::sqlite_db::iterator& row, db::sqlite_db::iterator& end, std::uint32_t mask);
    // `walked`, when given, is the tree's walk already started; otherwise one is started here.
    bool record_tree(const boost::filesystem::path& root, bool main_tree, std::string& error,
                     std::unique_ptr<tree_scanner> walked = nullptr);
    // Empties every table but [FILE], in a transaction of its own.
    bool clear_other_tables(std::string& error);
    bool record_backup(const std::string& folder, data::data_table*& table, std::string& error,
                       const std::uint32_t& mask, std::unique_ptr<tree_scanner> walked);
    // Whether the backup root, or for one not made yet the nearest folder above it, is a folder
    // of the main tree. Throws when the main tree has to be walked for it and can't be.
    bool backup_root_in_main_tree(const boost::filesystem::path& backup_root);
    std::string overlap_error(const std::string& backup_folder) const;
    // The folders the last whole walk of the main tree entered, and the root it walked (empty
    // while there is none).
    std::vector<file_identity> main_folders_;
    boost::filesystem::path main_folders_root_;
    bool merge_one(const std::string& backup_root, const data::data_row& row, copy_counts* counters,
                   const chooser& choose, merge_walk& walk, std::string& error);
    // `walk` is null for the public single copies.
    bool apply_choice(int decision, const boost::filesystem::path& first, const boost::filesystem::path& second,
                      copy_counts* counters, std::string& error, onto_folder folder_target,
                      const recorded_target* recorded, merge_walk* walk);
    bool copy_checked(const boost::filesystem::path& source, const boost::filesystem::path& target,
                      copy_counts* counters, std::string& error, onto_folder folder_target,
                      const recorded_target* recorded, merge_walk* walk);
    // copy_file without its check for a copy onto itself, which the caller has made; with
    // `recorded`, the target is checked against it once more just before it is replaced. With a
    // batch, a replacing copy waits in it. `root` is the folder of the tree copied into. `code` is
    // a failure's system error code, else 0. A temporary the record named for the copy ahead of it
    // is taken from `named`, which is left empty once it is used.
    bool replace_file(const boost::filesystem::path& source, const boost::filesystem::path& target,
                      const boost::filesystem::path& root, std::string& error, const recorded_target* recorded,
                      replace_batch* batch, int& code /*out*/, boost::filesystem::path* named = nullptr);
    // The record of copies in flight could not name a temporary: false with its error line in
    // `error`, and the merge that runs stops.
    bool record_refused(std::string& error);
    // Removes a temporary that won't take its target's place; the record names one that stays.
    void discard_temporary(const boost::filesystem::path& temporary);
    // Makes the waiting copies durable, then gives each its target's name, in row order.
    void finish_batch(replace_batch& batch);

    std::unique_ptr<copy_record> copies_;
    // What the records name: the walks and the clearing of folders leave those temporaries alone.
    std::unique_ptr<copies_in_flight> in_flight_;
    // The record could not name a temporary: the merge running stops.
    bool record_failed_ { false };
    // How deep the copying calls nest (a copy made from a merge's decision callable).
    unsigned copying_ { 0 };
};

// False for a text of nothing but white space, SQL comments and semicolons: SQLite would run it
// as no statement at all and answer no rows, as if a script had run.
bool holds_statement(const std::string& sql);

// Whether a result row whose difference kind is `kind` passes the filter mask.
bool passes_mask(const std::string& kind, std::uint32_t mask);

} // namespace fs
