// Builds a main and a backup tree with a known mix of differences and prints what recording,
// the whole comparison and a merge cost on them, next to the floors they are measured against:
// a bare walk that stats every file once, and rsync's dry run over the same trees.
//
//   compare_bench [files [folders]] [--file] [--keep]
//     files, folders  size of each tree (default 200000 files in 20000 folders)
//     --file          keep the catalogue in a database file instead of shared memory
//     --keep          leave the trees in place (their folder is printed)

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
#include <iostream>
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

tree_mix build_trees(const bfs::path& main, const bfs::path& backup, std::uint64_t files, std::uint64_t folders)
{
    const std::uint64_t top = std::max<std::uint64_t>(1, folders / 100);
    for (std::uint64_t folder = 0; folder < folders; ++folder) {
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
            write_file(main.string() + relative, size, time, content);
            ++mix.main_files;
        }
        if (kind != file_kind::only_main) {
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

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
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

// Runs rsync's dry run over the trees; -1 when rsync is not there.
double rsync_dry_run(const bfs::path& main, const bfs::path& backup)
{
    const std::string source = main.string() + "/";
    const std::string target = backup.string() + "/";
    std::vector<std::string> arguments = { "rsync", "-a", "--dry-run", "--delete", "--itemize-changes",
                                           source, target };
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
    const int spawned = posix_spawnp(&child, "rsync", &actions, nullptr, argv.data(), environ);
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
    return archive.record_main_folder(error) && archive.record_backup_folder(backup.string(), table, error, mask);
}

int run(int argc, char** argv)
{
    std::uint64_t files = 200000;
    std::uint64_t folders = 20000;
    int mode = 1;
    bool keep = false;
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--file")
            mode = 0;
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

    const bfs::path top = bfs::temp_directory_path() / bfs::unique_path("tarvoline-bench-%%%%-%%%%");
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

    std::printf("Trees in %s: %llu files in %llu folders each\n", top.string().c_str(),
                static_cast<unsigned long long>(files), static_cast<unsigned long long>(folders));
    auto start = clock_type::now();
    const tree_mix mix = build_trees(main, backup, files, folders);
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
    archive.database_file = (mode == 0 ? (top / "catalogue.db").string() : std::string("compare_bench"));
    archive.schema_file = (resources / "schema.sql").string();
    archive.set_root(main.string());
    std::string error;
    data::data_table* table = nullptr;
    archive.create_result_table(archive.result);
    if (!archive.open_database(error, mode) || !archive.load_scripts((resources / "scripts.xml").string(), error))
        throw std::runtime_error(error);

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
    for (int round = 0; round < rounds; ++round) {
        start = clock_type::now();
        if (!compare(archive, backup, table, error))
            throw std::runtime_error(error);
        compare_seconds = std::min(compare_seconds, seconds_since(start));
    }
    print("whole comparison", mix.main_files + mix.backup_files, "files", compare_seconds);
    std::printf("%-34s %9llu (expected %llu)\n", "difference rows", static_cast<unsigned long long>(table->rows.size()),
                static_cast<unsigned long long>(mix.differences));
    double rsync_seconds = 1e9;
    for (int round = 0; round < rounds && rsync_seconds >= 0; ++round)
        rsync_seconds = std::min(rsync_seconds, rsync_dry_run(main, backup));
    if (rsync_seconds < 0) {
        std::printf("%-34s not available\n\n", "rsync dry run");
    } else {
        print("rsync dry run", mix.main_files + mix.backup_files, "files", rsync_seconds);
        std::printf("%-34s %9.2f x the rsync dry run\n\n", "whole comparison costs", compare_seconds / rsync_seconds);
    }

    std::uint64_t counters[4] = { 0, 0, 0, 0 };
    start = clock_type::now();
    const bool merged = archive.merge_rows(backup.string(), *table, counters, nullptr, error);
    const double merge_seconds = seconds_since(start);
    if (!merged)
        throw std::runtime_error(error);
    print("merge main to backup, files", counters[fs::file_archive::files_copied], "files", merge_seconds);
    print("merge main to backup, bytes", counters[fs::file_archive::bytes_copied], "bytes", merge_seconds);
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
