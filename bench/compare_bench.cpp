// Builds a main and a backup tree with a known mix of differences and prints what recording,
// the whole comparison and a merge cost on them, next to the floors they are measured against:
// a bare walk that stats every file once, and rsync's dry run over the same trees. Lines
// starting "goal" set a figure against its reference measured in the same run: a merge that
// replaces every file against cp -a of the same files, the whole comparison against find -printf
// of both trees, and the comparison's peak memory per recorded file.
//
//   compare_bench [files [folders]] [--file] [--keep]
//     files, folders  size of each tree (default 200000 files in 20000 folders)
//     --file          keep the catalogue in a database file instead of shared memory
//     --keep          leave the trees in place (their folder is printed)
//     --replace N     files of the replacing merge (default 12000, 0 leaves it out)
//     --merge-only    only the replacing merge
//     --compare-only  leave out rsync and the merge (the trees stay as built)
//     --trees DIR     use the trees a run with --keep --compare-only left in DIR (same sizes)

#include "core/data/data_table.h"
#include "core/fs/dir_walker.h"
#include "core/fs/file_archive.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace bfs = boost::filesystem;
using clock_type = std::chrono::steady_clock;

// Files are given a kind by their number: out of every 100, two of each difference kind.
enum class file_kind { same, only_main, only_backup, other_size, other_time };

file_kind kind_of(std::uint64_t file)
{
    switch (file % 100) {
    case 0: case 1: return file_kind::only_main;
    case 2: case 3: return file_kind::only_backup;
    case 4: case 5: return file_kind::other_size;
    case 6: case 7: return file_kind::other_time;
    default: return file_kind::same;
    }
}

struct tree_mix {
    std::uint64_t main_files { 0 };
    std::uint64_t backup_files { 0 };
    std::uint64_t differences { 0 };
    std::uint64_t only_backup { 0 };
};

void write_file(const std::string& path, std::size_t size, std::time_t time, const std::vector<char>& content)
{
    const int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (handle < 0 || ::write(handle, content.data(), size) != static_cast<ssize_t>(size))
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    const struct ::timespec times[2] = { { time, 0 }, { time, 0 } };
    ::futimens(handle, times);
    ::close(handle);
}

// Folder k is a top folder for k < top, else a subfolder of top folder k % top.
std::string folder_name(std::uint64_t folder, std::uint64_t top)
{
    if (folder < top)
        return "/t" + std::to_string(folder);
    return "/t" + std::to_string(folder % top) + "/s" + std::to_string(folder);
}

tree_mix build_trees(const bfs::path& main, const bfs::path& backup, std::uint64_t files, std::uint64_t folders,
                     bool write = true)
{
    const std::uint64_t top = std::max<std::uint64_t>(1, folders / 100);
    for (std::uint64_t folder = 0; folder < folders && write; ++folder) {
        bfs::create_directories(main.string() + folder_name(folder, top));
        bfs::create_directories(backup.string() + folder_name(folder, top));
    }
    const std::vector<char> content(4096, 'x');
    static const char* const extensions[] = { ".dat", ".txt", "", ".tar.gz" };
    tree_mix mix;
    for (std::uint64_t file = 0; file < files; ++file) {
        const std::string relative = folder_name(file % folders, top) + "/f" + std::to_string(file)
            + extensions[file % 4];
        const std::size_t size = 64 + (file * 37) % 2048;
        const std::time_t time = 1600000000 + static_cast<std::time_t>(file);
        const file_kind kind = kind_of(file);
        if (kind != file_kind::only_backup) {
            if (write)
                write_file(main.string() + relative, size, time, content);
            ++mix.main_files;
        }
        if (kind != file_kind::only_main) {
            if (write)
                write_file(backup.string() + relative, kind == file_kind::other_size ? size + 1 : size,
                       kind == file_kind::other_time ? time - 3600 : time, content);
            ++mix.backup_files;
        }
        if (kind != file_kind::same)
            ++mix.differences;
        if (kind == file_kind::only_backup)
            ++mix.only_backup;
    }
    return mix;
}

// The floor of any recording: the same walk, one status query per entry, nothing stored.
std::uint64_t bare_walk(const bfs::path& root)
{
    fs::dir_walker walker;
    walker.set_root(root.string());
    auto walk = walker.walk();
    std::uint64_t files = 0;
    for (auto& entry = walk.first; entry != bfs::recursive_directory_iterator(); ++entry) {
        if (fs::dir_walker::inspect(entry).type == bfs::regular_file)
            ++files;
    }
    return files;
}

// CPU time of the calling thread: the catalogue's writer runs on it, so this is the comparison's
// serial part, and much less at the mercy of other loads on the machine than wall time.
double thread_cpu_seconds()
{
    struct ::timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// Resident memory now, in bytes.
double resident_bytes()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

double peak_megabytes()
{
    struct ::rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void print(const char* what, std::uint64_t count, const char* unit, double seconds)
{
    std::printf("%-34s %9llu %-6s %8.3f s %12.0f %s/s   peak %7.1f MB\n", what,
                static_cast<unsigned long long>(count), unit, seconds,
                seconds > 0 ? static_cast<double>(count) / seconds : 0.0, unit, peak_megabytes());
}

// Runs a command with its output thrown away; its wall time, or -1 when it could not run.
double run_command(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = clock_type::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return seconds_since(start);
}

bool compare(fs::file_archive& archive, const bfs::path& backup, data::data_table*& table, std::string& error)
{
    const std::uint32_t mask = 15;
    return archive.record_folders(backup.string(), table, error, mask);
}

// rsync's dry run over the trees; -1 when rsync is not there.
double rsync_dry_run(const bfs::path& main, const bfs::path& backup)
{
    return run_command({ "rsync", "-a", "--dry-run", "--delete", "--itemize-changes", main.string() + "/",
                         backup.string() + "/" });
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void print_goal(const char* goal, const char* figure, double seconds, const char* reference,
                double reference_seconds, double limit)
{
    const double ratio = seconds / reference_seconds;
    std::printf("%s: %s %.3f s, %s %.3f s, ratio %.2f (goal <= %.2f): %s\n", goal, figure, seconds, reference,
                reference_seconds, ratio, limit, ratio <= limit ? "MET" : "NOT MET");
}

// A catalogue of its own for a pair of trees.
std::unique_ptr<fs::file_archive> open_archive(const bfs::path& main, const std::string& name)
{
    const bfs::path resources = bfs::path(__FILE__).parent_path().parent_path() / "resources";
    auto archive = std::make_unique<fs::file_archive>();
    archive->database_file = name;
    archive->schema_file = (resources / "schema.sql").string();
    archive->set_root(main.string());
    archive->create_result_table(archive->result);
    std::string error;
    if (!archive->open_database(error, db::sqlite_db::memory_mode)
        || !archive->load_scripts((resources / "scripts.xml").string(), error))
        throw std::runtime_error(error);
    return archive;
}

// Goal 1: a merge that replaces every file of a backup, against cp -a of the same files. Each
// round starts from the old backup, written and flushed to disk outside the timing, so neither
// side pays for the other's writes.
void replacing_merge_goal(const bfs::path& top, std::uint64_t files)
{
    const bfs::path main = top / "replace-main";
    const bfs::path backup = top / "replace-backup";
    const bfs::path copy = top / "replace-copy";
    const std::uint64_t folders = std::max<std::uint64_t>(1, files / 100);
    const std::vector<char> content(4096, 'x');
    const std::vector<char> old_content(4096, 'o');
    const auto write_tree = [&](const bfs::path& root, bool old) {
        for (std::uint64_t folder = 0; folder < folders; ++folder)
            bfs::create_directories(root / ("d" + std::to_string(folder)));
        for (std::uint64_t file = 0; file < files; ++file) {
            const std::string path = root.string() + "/d" + std::to_string(file % folders) + "/f"
                + std::to_string(file);
            const std::size_t size = 64 + (file * 37) % 2048;
            write_file(path, old ? size + 1 : size, 1600000000 - (old ? 3600 : 0), old ? old_content : content);
        }
    };
    write_tree(main, false);
    auto archive = open_archive(main, "compare_bench_replace");
    // As the program keeps it, outside both trees.
    archive->set_copy_record_folder(top.string());
    std::string error;
    data::data_table* table = nullptr;
    const auto prepare = [&] {
        write_tree(backup, true);
        if (!compare(*archive, backup, table, error))
            throw std::runtime_error(error);
        if (table->rows.size() != files)
            throw std::runtime_error("replacing merge: " + std::to_string(table->rows.size()) + " rows, expected "
                                     + std::to_string(files));
        ::sync();
    };
    const int rounds = 5;
    std::vector<double> batched;
    std::vector<double> one_by_one;
    std::vector<double> copied;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        fs::copy_counts counters;
        auto start = clock_type::now();
        if (!archive->merge_rows(backup.string(), *table, &counters, nullptr, error))
            throw std::runtime_error(error);
        batched.push_back(seconds_since(start));
        if (counters.files_copied != files)
            throw std::runtime_error("replacing merge copied " + std::to_string(counters.files_copied) + " files");

        // Row by row: each replaced file flushed on its own before it takes the old name.
        prepare();
        start = clock_type::now();
        for (const data::data_row* row : table->rows) {
            if (!archive->merge_row(backup.string(), *row, &counters, nullptr, error))
                throw std::runtime_error(error);
        }
        one_by_one.push_back(seconds_since(start));

        boost::system::error_code ignored;
        bfs::remove_all(copy, ignored);
        ::sync();
        const double cp = run_command({ "cp", "-a", main.string(), copy.string() });
        if (cp < 0)
            throw std::runtime_error("cp -a failed");
        copied.push_back(cp);
    }
    std::printf("replacing merge of %llu files, medians of %d rounds\n", static_cast<unsigned long long>(files),
                rounds);
    print_goal("goal 1 before (row by row)", "merge", median(one_by_one), "cp -a", median(copied), 1.5);
    print_goal("goal 1", "merge", median(batched), "cp -a", median(copied), 1.5);
    std::printf("\n");
}

int run(int argc, char** argv)
{
    std::uint64_t files = 200000;
    std::uint64_t folders = 20000;
    db::sqlite_db::storage_mode mode = db::sqlite_db::memory_mode;
    bool keep = false;
    bool merge_only = false;
    bool compare_only = false;
    std::string trees;
    std::uint64_t replaced = 12000;
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--file")
            mode = db::sqlite_db::file_mode;
        else if (argument == "--merge-only")
            merge_only = true;
        else if (argument == "--replace" && i + 1 < argc)
            replaced = std::stoull(argv[++i]);
        else if (argument == "--compare-only")
            compare_only = true;
        else if (argument == "--trees" && i + 1 < argc)
            trees = argv[++i];
        else if (argument == "--keep")
            keep = true;
        else
            sizes.push_back(std::stoull(argument));
    }
    if (!sizes.empty())
        files = sizes[0];
    if (sizes.size() > 1)
        folders = sizes[1];
    if (files == 0 || folders == 0)
        throw std::runtime_error("files and folders must be above 0");

    const bfs::path top = trees.empty() ? bfs::temp_directory_path() / bfs::unique_path("tarvoline-bench-%%%%-%%%%")
                                        : bfs::path(trees);
    if (!trees.empty())
        keep = true;
    // The trees go away however the run ends, unless asked to stay.
    struct tree_remover {
        const bfs::path& folder;
        bool keep;
        ~tree_remover()
        {
            boost::system::error_code ignored;
            if (keep)
                std::printf("\nTrees kept in %s\n", folder.string().c_str());
            else
                bfs::remove_all(folder, ignored);
        }
    } remover { top, keep };
    const bfs::path main = top / "main";
    const bfs::path backup = top / "backup";
    const bfs::path resources = bfs::path(__FILE__).parent_path().parent_path() / "resources";

    if (replaced > 0)
        replacing_merge_goal(top, replaced);
    if (merge_only)
        return 0;

    std::printf("Trees in %s: %llu files in %llu folders each\n", top.string().c_str(),
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(folders));
    auto start = clock_type::now();
    const tree_mix mix = build_trees(main, backup, files, folders, trees.empty());
    std::printf("Built in %.1f s: main %llu files, backup %llu files, %llu differences expected\n\n",
                seconds_since(start), static_cast<unsigned long long>(mix.main_files),
                static_cast<unsigned long long>(mix.backup_files),
                static_cast<unsigned long long>(mix.differences));

    // Every figure is the best of three rounds on a warm cache: the machine is shared.
    const int rounds = 3;
    bare_walk(backup);
    std::uint64_t walked = 0;
    double walk_seconds = 1e9;
    for (int round = 0; round < rounds; ++round) {
        start = clock_type::now();
        walked = bare_walk(main);
        walk_seconds = std::min(walk_seconds, seconds_since(start));
    }
    print("bare stat walk, main", walked, "files", walk_seconds);

    fs::file_archive archive;
    archive.database_file =
        (mode == db::sqlite_db::file_mode ? (top / "catalogue.db").string() : std::string("compare_bench"));
    archive.schema_file = (resources / "schema.sql").string();
    archive.set_root(main.string());
    std::string error;
    data::data_table* table = nullptr;
    archive.create_result_table(archive.result);
    if (!archive.open_database(error, mode) || !archive.load_scripts((resources / "scripts.xml").string(), error))
        throw std::runtime_error(error);

    const double resident_before = resident_bytes();
    // Recording alone: the backup tree with a diff script that returns nothing.
    const std::string diff_script = archive.diff_script;
    if (!archive.prepare_script("Nothing", "select 1 where 0", error))
        throw std::runtime_error(error);
    archive.diff_script = "Nothing";
    const std::uint32_t mask = 15;
    double main_seconds = 1e9;
    double backup_seconds = 1e9;
    for (int round = 0; round < rounds; ++round) {
        start = clock_type::now();
        if (!archive.record_main_folder(error))
            throw std::runtime_error(error);
        main_seconds = std::min(main_seconds, seconds_since(start));
        start = clock_type::now();
        if (!archive.record_backup_folder(backup.string(), table, error, mask))
            throw std::runtime_error(error);
        backup_seconds = std::min(backup_seconds, seconds_since(start));
    }
    print("recording main", mix.main_files, "files", main_seconds);
    print("recording backup", mix.backup_files, "files", backup_seconds);
    std::printf("%-34s %9.2f x the bare stat walk\n\n", "recording main costs", main_seconds / walk_seconds);

    archive.diff_script = diff_script;
    double compare_seconds = 1e9;
    double compare_cpu = 1e9;
    for (int round = 0; round < rounds; ++round) {
        start = clock_type::now();
        const double cpu_start = thread_cpu_seconds();
        if (!compare(archive, backup, table, error))
            throw std::runtime_error(error);
        compare_seconds = std::min(compare_seconds, seconds_since(start));
        compare_cpu = std::min(compare_cpu, thread_cpu_seconds() - cpu_start);
    }
    print("whole comparison", mix.main_files + mix.backup_files, "files", compare_seconds);
    std::printf("%-34s %9.3f s CPU of the catalogue's thread\n", "whole comparison", compare_cpu);
    const double peak_growth = peak_megabytes() * 1024.0 * 1024.0 - resident_before;
    double find_seconds = 1e9;
    for (int round = 0; round < rounds && find_seconds >= 0; ++round)
        find_seconds = std::min(find_seconds, run_command({ "find", main.string(), backup.string(), "-printf",
                                                            "%s %T@ %p\n" }));
    std::printf("\n");
    if (find_seconds < 0)
        std::printf("goal 2: find not available\n");
    else
        print_goal("goal 2", "whole comparison", compare_seconds, "find -printf of both trees", find_seconds, 0.5);
    const double per_file = peak_growth / static_cast<double>(mix.main_files + mix.backup_files);
    const double per_file_limit = 273;
    std::printf("goal 4: peak memory growth of the comparison %.0f bytes per recorded file (goal <= %.0f): %s\n\n",
                per_file, per_file_limit, per_file <= per_file_limit ? "MET" : "NOT MET");
    std::printf("%-34s %9llu (expected %llu)\n", "difference rows", static_cast<unsigned long long>(table->rows.size()),
                static_cast<unsigned long long>(mix.differences));
    if (compare_only)
        return 0;
    double rsync_seconds = 1e9;
    for (int round = 0; round < rounds && rsync_seconds >= 0; ++round)
        rsync_seconds = std::min(rsync_seconds, rsync_dry_run(main, backup));
    if (rsync_seconds < 0) {
        std::printf("%-34s not available\n\n", "rsync dry run");
    } else {
        print("rsync dry run", mix.main_files + mix.backup_files, "files", rsync_seconds);
        std::printf("%-34s %9.2f x the rsync dry run\n\n", "whole comparison costs", compare_seconds / rsync_seconds);
    }

    fs::copy_counts counters;
    start = clock_type::now();
    const bool merged = archive.merge_rows(backup.string(), *table, &counters, nullptr, error);
    const double merge_seconds = seconds_since(start);
    if (!merged)
        throw std::runtime_error(error);
    print("merge main to backup, files", counters.files_copied, "files", merge_seconds);
    print("merge main to backup, bytes", counters.bytes_copied, "bytes", merge_seconds);
    if (!compare(archive, backup, table, error))
        throw std::runtime_error(error);
    std::printf("%-34s %9llu (expected %llu: the files only in the backup)\n", "rows after merge and comparison",
                static_cast<unsigned long long>(table->rows.size()),
                static_cast<unsigned long long>(mix.only_backup));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "compare_bench: " << failure.what() << '\n';
        return 1;
    }
}
