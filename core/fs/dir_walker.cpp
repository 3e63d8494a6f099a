#include "core/fs/dir_walker.h"

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>

#include <cerrno>

#include <sys/stat.h>

namespace fs {

namespace bfs = boost::filesystem;

bfs::path to_path(const std::string& text)
{
    return bfs::path(text);
}

void dir_walker::set_root(const std::string& folder)
{
    std::string text = folder;
    // Entries are joined to the root: "a//" would give "a//x". The root folder "/" stays.
    while (text.size() > 1 && text.back() == bfs::path::preferred_separator)
        text.pop_back();
    root_ = to_path(text);
}

dir_walker::walk_state dir_walker::walk() const
{
    return walk_state(bfs::recursive_directory_iterator(root_), root_);
}

namespace {

bfs::file_type type_of(mode_t mode)
{
    if (S_ISREG(mode))
        return bfs::regular_file;
    if (S_ISDIR(mode))
        return bfs::directory_file;
    if (S_ISLNK(mode))
        return bfs::symlink_file;
    if (S_ISBLK(mode))
        return bfs::block_file;
    if (S_ISCHR(mode))
        return bfs::character_file;
    if (S_ISFIFO(mode))
        return bfs::fifo_file;
    if (S_ISSOCK(mode))
        return bfs::socket_file;
    return bfs::type_unknown;
}

// False for an entry that is gone (a dangling link's target); throws for any other failure.
bool read_status(const bfs::path& path, bool follow, struct stat& details)
{
    if ((follow ? ::stat(path.c_str(), &details) : ::lstat(path.c_str(), &details)) == 0)
        return true;
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR)
        return false;
    throw bfs::filesystem_error(follow ? "boost::filesystem::status" : "boost::filesystem::symlink_status", path,
                                boost::system::error_code(error, boost::system::system_category()));
}

} // namespace

dir_walker::entry_info dir_walker::inspect(bfs::recursive_directory_iterator& position)
{
    entry_info info;
    const bfs::path& path = position->path();
    struct stat details {};
    bool found = read_status(path, false, details);
    const bool link = found && S_ISLNK(details.st_mode);
    if (link)
        found = read_status(path, true, details);
    if (!found) {
        info.type = bfs::file_not_found;
        position.disable_recursion_pending();
        return info;
    }
    info.type = type_of(details.st_mode);
    if (info.type == bfs::regular_file) {
        info.size = static_cast<std::uintmax_t>(details.st_size);
        info.last_write_time = details.st_mtime;
    }
    // Boost 1.74 lists without the file type, so advancing would lstat the entry again to
    // decide whether to enter it. Only a real folder is entered; links never are.
    if (link || info.type != bfs::directory_file)
        position.disable_recursion_pending();
    return info;
}

} // namespace fs
