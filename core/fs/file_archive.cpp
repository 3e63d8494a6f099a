#include "core/fs/file_archive.h"

#include "core/data/data_table.h"
#include "core/fs/file_presence.h"
#include "core/fs/tree_scanner.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>
#include <vector>

#include <sys/stat.h>

namespace fs {

namespace bfs = boost::filesystem;

namespace {

const char* const file_insert_sql =
    "insert into [FILE] (NAME, FULL_PATH, RELATIVE_PATH, EXTENSION, SIZE, LAST_WRITE_TIME) "
    "values (?, ?, ?, ?, ?, ?)";
const char* const backup_insert_sql =
    "insert into [BACKUP] (BACKUP_ID, NAME, FULL_PATH, RELATIVE_PATH, EXTENSION, SIZE, LAST_WRITE_TIME) "
    "values (?, ?, ?, ?, ?, ?, ?)";
const char* const backup_delete_sql = "delete from [BACKUP] where BACKUP_ID = ?";

// The path with links and "." / ".." resolved as far as it exists, so that two spellings of one
// folder compare equal.
std::vector<bfs::path> resolved_elements(const bfs::path& folder)
{
    boost::system::error_code failed;
    bfs::path resolved = bfs::weakly_canonical(bfs::absolute(folder), failed);
    if (failed)
        resolved = bfs::absolute(folder).lexically_normal();
    std::vector<bfs::path> parts;
    for (const auto& element : resolved) {
        if (element != ".")
            parts.push_back(element);
    }
    return parts;
}

// Whether `folder` or a folder above it is the folder `outer` names. A bind mount shows one folder
// under two paths that no resolving of their text brings together; (device, inode) does.
bool lies_within(const std::vector<bfs::path>& folder, const bfs::path& outer)
{
    struct ::stat outer_info;
    if (::stat(outer.c_str(), &outer_info) != 0)
        return false;
    bfs::path above;
    for (const bfs::path& element : folder)
        above /= element;
    for (; !above.empty(); above = above.parent_path()) {
        struct ::stat info;
        if (::stat(above.c_str(), &info) == 0 && info.st_dev == outer_info.st_dev && info.st_ino == outer_info.st_ino)
            return true;
        if (above == above.root_path())
            break;
    }
    return false;
}

bool identity_of(const bfs::path& path, file_identity& found /*out*/)
{
    struct ::stat info;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    found = file_identity::of(info);
    return true;
}

// The folder at `folder`, or for one not made yet the nearest folder above it that is there.
bool nearest_present_folder(const bfs::path& folder, file_identity& found /*out*/)
{
    bfs::path above;
    for (const bfs::path& element : resolved_elements(folder))
        above /= element;
    for (; !above.empty(); above = above.parent_path()) {
        if (identity_of(above, found))
            return true;
        if (above == above.root_path())
            break;
    }
    return false;
}

bool among(const std::vector<file_identity>& folders, const file_identity& wanted)
{
    return std::find(folders.begin(), folders.end(), wanted) != folders.end();
}

// One root inside the other (or both the same): every merge would nest the tree once more.
bool roots_overlap(const bfs::path& first, const bfs::path& second)
{
    const auto first_parts = resolved_elements(first);
    const auto second_parts = resolved_elements(second);
    const std::size_t shared = std::min(first_parts.size(), second_parts.size());
    if (std::equal(first_parts.begin(), first_parts.begin() + static_cast<std::ptrdiff_t>(shared),
                   second_parts.begin()))
        return true;
    return lies_within(second_parts, first) || lies_within(first_parts, second);
}

// Texts bound in place must not outlive their binding: the statement lets go of them on every
// way out of a recording.
class bindings_released {
public:
    bindings_released(db::sqlite_db& database, std::uint64_t statement) : database_(database), statement_(statement) {}
    ~bindings_released()
    {
        try {
            database_.clear_bindings(statement_);
        } catch (const std::exception&) {
            // Only an unknown statement id throws, and it holds no binding.
        }
    }
    bindings_released(const bindings_released&) = delete;
    bindings_released& operator=(const bindings_released&) = delete;

private:
    db::sqlite_db& database_;
    std::uint64_t statement_;
};

} // namespace

file_archive::file_archive() = default;

file_archive::~file_archive() = default;

void file_archive::set_root(const std::string& folder)
{
    // Boost throws on creating ""; the caller reports an empty main folder.
    if (folder.empty())
        return;
    if (!present(to_path(folder))) {
        boost::system::error_code ignored;
        bfs::create_directories(to_path(folder), ignored);
    }
    dir_walker::set_root(folder);
}

void file_archive::set_copy_record_folder(const std::string& folder)
{
    copies_ = folder.empty() ? nullptr : std::make_unique<copy_record>(folder);
    in_flight_ = folder.empty() ? nullptr : std::make_unique<copies_in_flight>(folder);
}

bool file_archive::open_database(std::string& error, db::sqlite_db::storage_mode mode)
{
    try {
        if (!database.open(database_file, mode) || !database.clear_tables(true)
            || !database.execute_file(schema_file)) {
            error = database.last_error();
            return false;
        }
        if (!database.set_pragma("synchronous", "OFF", error)
            || !database.set_pragma("count_changes", "OFF", error)
            || !database.set_pragma("journal_mode", "MEMORY", error)
            || !database.set_pragma("temp_store", "MEMORY", error))
            return false;
        file_insert_id = database.prepare(file_insert_sql);
        backup_insert_id = database.prepare(backup_insert_sql);
        backup_delete_id = database.prepare(backup_delete_sql);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

bool file_archive::database_ready(std::string& error) const
{
    if (file_insert_id == no_statement || backup_insert_id == no_statement || backup_delete_id == no_statement) {
        error = "Catalogue database is not open";
        return false;
    }
    return true;
}

void file_archive::note_removed_temporaries(const std::string& folder, std::size_t count) const
{
    if (count != 0 && on_note)
        on_note("Removed " + std::to_string(count) + " temporaries of an interrupted copy in " + folder);
}

void file_archive::remove_interrupted_copies()
{
    if (copies_ == nullptr || mock_copy)
        return;
    const copy_record::leftovers done = copy_record::remove_leftovers(copies_->folder());
    for (const auto& folder : done.removed)
        note_removed_temporaries(folder.first, folder.second);
}

void file_archive::empty_result()
{
    if (result == nullptr)
        return;
    result->notify = false;
    result->clear();
    result->end_update();
}

bool file_archive::record_main_folder(std::string& error)
{
    if (!database_ready(error))
        return false;
    remove_interrupted_copies();
    // A failed recording keeps the previous comparison's rows on show: the tables were
    // rolled back to them.
    return record_tree(root(), true, error);
}

bool file_archive::record_folders(const std::string& backup_folder, data::data_table*& table,
                                  std::string& error, const std::uint32_t& mask)
{
    if (!database_ready(error))
        return false;
    remove_interrupted_copies();
    // The main tree's walk starts first: a process allowed only a few more threads gives them to
    // the tree recorded first, and the backup's early walk is the one that does without. A walk
    // that can't start is started again by the recording, which reports why.
    std::unique_ptr<tree_scanner> main_walk;
    try {
        main_walk = std::make_unique<tree_scanner>(root(), !mock_copy, in_flight_.get());
    } catch (const std::exception&) {
        main_walk.reset();
    }
    // Only a backup tree that is there and clear of the main tree is walked early; anything
    // else takes the checks and the error texts of the backup's own recording.
    std::unique_ptr<tree_scanner> backup_walk;
    if (!backup_folder.empty()) {
        const bfs::path backup_root = to_path(backup_folder);
        if (!roots_overlap(root(), backup_root) && present(backup_root)) {
            try {
                backup_walk = std::make_unique<tree_scanner>(backup_root, !mock_copy, in_flight_.get());
            } catch (const std::exception&) {
                backup_walk.reset();
            }
        }
    }
    // As record_main_folder does.
    if (!record_tree(root(), true, error, std::move(main_walk)))
        return false;
    return record_backup(backup_folder, table, error, mask, std::move(backup_walk));
}

std::string file_archive::overlap_error(const std::string& backup_folder) const
{
    return "The main folder " + root().string() + " and the backup folder " + backup_folder
        + " overlap: one lies inside the other";
}

bool file_archive::backup_root_in_main_tree(const bfs::path& backup_root)
{
    file_identity backup;
    if (!nearest_present_folder(backup_root, backup))
        return false;
    if (main_folders_root_.empty() || main_folders_root_ != root()) {
        // No whole walk of this main tree was recorded: one that records nothing finds its folders.
        tree_scanner walk(root(), false);
        tree_scanner::batch unused;
        while (walk.next(unused)) {
        }
        main_folders_ = walk.folders_entered();
        main_folders_root_ = root();
    }
    return among(main_folders_, backup);
}

bool file_archive::record_backup_folder(const std::string& folder, data::data_table*& table,
                                        std::string& error, const std::uint32_t& mask)
{
    if (!folder.empty())
        remove_interrupted_copies();
    return record_backup(folder, table, error, mask, nullptr);
}

bool file_archive::record_backup(const std::string& folder, data::data_table*& table, std::string& error,
                                 const std::uint32_t& mask, std::unique_ptr<tree_scanner> walked)
{
    if (!folder.empty()) {
        if (!database_ready(error))
            return false;
        const bfs::path backup_root = to_path(folder);
        bool overlap = roots_overlap(root(), backup_root);
        try {
            // A main subfolder mounted elsewhere leads into the main tree by a path that no
            // resolving brings back to it: looked for before the backup folder is made there.
            overlap = overlap || backup_root_in_main_tree(backup_root);
        } catch (const std::exception& failure) {
            error = failure.what();
            empty_result();
            return false;
        }
        if (overlap) {
            error = overlap_error(folder);
            empty_result();
            return false;
        }
        if (!present(backup_root)) {
            if (!mock_copy) {
                boost::system::error_code created;
                bfs::create_directories(backup_root, created);
                if (created) {
                    error = created.message() + ": " + folder;
                    empty_result();
                    return false;
                }
            } else if (on_mock_action) {
                on_mock_action(root(), backup_root);
            }
        }
        // A backup tree that failed to record must not be compared: an empty or partial
        // [BACKUP] would list every main file as missing in the backup, and merging those
        // rows would overwrite newer backup files.
        if (!record_tree(backup_root, false, error, std::move(walked))) {
            empty_result();
            return false;
        }
    }
    return query_differences(only_backup_id, table, mask, error);
}

bool file_archive::record_tree(const bfs::path& tree_root, bool main_tree, std::string& error,
                               std::unique_ptr<tree_scanner> walked)
{
    if (!database.begin_transaction()) {
        error = database.last_error();
        return false;
    }
    bool recorded = true;
    try {
        std::uint64_t bytes = 0;
        if (main_tree) {
            main_folders_root_.clear();
            // Emptied inside the transaction, so a tree that fails to record leaves the
            // previous comparison's rows as they were. The other tables are emptied once this
            // one is committed: emptying a table keeps a copy of its pages until the commit, and
            // the catalogue holding both copies at once was the comparison's peak of memory.
            if (!database.execute("DELETE FROM [FILE];"))
                throw std::runtime_error(database.last_error());
            main_bytes = 0;
        } else {
            database.bind_int(backup_delete_id, 1, only_backup_id);
            if (!database.step(backup_delete_id)) {
                recorded = false;
                error = database.last_error();
            }
            backup_bytes[only_backup_id] = 0;
        }
        const std::uint64_t insert = main_tree ? file_insert_id : backup_insert_id;
        const int first = main_tree ? 1 : 2;
        if (!main_tree)
            database.bind_int(insert, 1, only_backup_id);

        if (!walked)
            walked = std::make_unique<tree_scanner>(tree_root, !mock_copy, in_flight_.get());
        tree_scanner& scanner = *walked;
        tree_scanner::batch batch;
        const bindings_released released(database, insert);
        while (scanner.next(batch)) {
            for (const tree_scanner::cleared_folder& cleared : batch.cleared)
                note_removed_temporaries(cleared.path, cleared.temporaries_removed);
            // The files of one folder come together: its texts are bound once for all of them.
            std::uint32_t bound_folder = std::numeric_limits<std::uint32_t>::max();
            for (const tree_scanner::file& found : batch.files) {
                if (found.folder != bound_folder) {
                    const tree_scanner::folder_texts& texts = batch.folders[found.folder];
                    database.bind_text_in_place(insert, first + 1, texts.full_path);
                    database.bind_text_in_place(insert, first + 2, texts.relative_path);
                    bound_folder = found.folder;
                }
                database.bind_text_in_place(insert, first, found.name);
                database.bind_text_in_place(insert, first + 3, found.extension);
                database.bind_int64(insert, first + 4, static_cast<std::int64_t>(found.size));
                database.bind_int64(insert, first + 5, static_cast<std::int64_t>(found.last_write_time));
                if (!database.step(insert)) {
                    recorded = false;
                    error = database.last_error();
                }
                bytes += found.size;
            }
        }
        if (main_tree) {
            main_bytes = bytes;
            main_folders_ = scanner.folders_entered();
            main_folders_root_ = tree_root;
        } else {
            backup_bytes[only_backup_id] = bytes;
            // The main root met inside the backup tree (through a mount): the backup tree is not
            // recorded, as for roots whose paths overlap.
            file_identity main_root;
            if (identity_of(root(), main_root) && among(scanner.folders_entered(), main_root)) {
                recorded = false;
                error = overlap_error(tree_root.string());
            }
        }
    } catch (const std::exception& failure) {
        error = failure.what();
        database.rollback_transaction();
        return false;
    }

    // The main tree keeps what it recorded (the comparison shows what is known); a backup tree
    // is all or nothing.
    if (main_tree || recorded) {
        if (!database.commit_transaction()) {
            error = database.last_error();
            database.rollback_transaction();
            return false;
        }
        if (main_tree && !clear_other_tables(error))
            return false;
    } else {
        database.rollback_transaction();
    }
    return recorded;
}

bool file_archive::clear_other_tables(std::string& error)
{
    if (!database.begin_transaction()) {
        error = database.last_error();
        return false;
    }
    if (!database.clear_tables(false, "FILE") || !database.commit_transaction()) {
        error = database.last_error();
        database.rollback_transaction();
        return false;
    }
    return true;
}

bool file_archive::load_catalogue(const std::string& path, std::string& error)
{
    // What the schema makes is what the catalogue's SQL needs: it is read from a private
    // database built by the schema file, not from the catalogue, which may hold more.
    db::sqlite_db::table_columns required;
    try {
        db::sqlite_db schema;
        if (!schema.open(":memory:", db::sqlite_db::file_mode) || !schema.execute_file(schema_file)) {
            error = schema.last_error();
            return false;
        }
        required = schema.tables();
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    if (!database.load_from_file(path, required)) {
        error = database.last_error();
        return false;
    }
    return true;
}

bfs::path file_archive::relative_path(const bfs::path& path, const bfs::path& root)
{
    auto element = path.begin();
    auto root_element = root.begin();
    while (element != path.end() && root_element != root.end() && *element == *root_element) {
        ++element;
        ++root_element;
    }
    std::string relative;
    for (; element != path.end(); ++element) {
        relative += bfs::path::preferred_separator;
        relative += element->string();
    }
    return bfs::path(relative);
}

} // namespace fs
