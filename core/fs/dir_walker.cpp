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

dir_walker::entry_info dir_walker::inspect(const bfs::directory_entry& entry)
{
    entry_info info;
    // The listing's file type comes for free; only a folder can be settled without a stat,
    // since a file's size and time need one anyway.
    boost::system::error_code ignored;
    const bfs::file_status listed = entry.symlink_status(ignored);
    if (listed.type() == bfs::directory_file) {
        info.type = bfs::directory_file;
        return info;
    }
    struct stat details {};
    if (::stat(entry.path().c_str(), &details) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            info.type = bfs::file_not_found;
            return info;
        }
        throw bfs::filesystem_error("boost::filesystem::status", entry.path(),
                                    boost::system::error_code(error, boost::system::system_category()));
    }
    if (S_ISREG(details.st_mode)) {
        info.type = bfs::regular_file;
        info.size = static_cast<std::uintmax_t>(details.st_size);
        info.last_write_time = details.st_mtime;
    } else if (S_ISDIR(details.st_mode)) {
        info.type = bfs::directory_file;
    } else if (S_ISBLK(details.st_mode)) {
        info.type = bfs::block_file;
    } else if (S_ISCHR(details.st_mode)) {
        info.type = bfs::character_file;
    } else if (S_ISFIFO(details.st_mode)) {
        info.type = bfs::fifo_file;
    } else if (S_ISSOCK(details.st_mode)) {
        info.type = bfs::socket_file;
    } else {
        info.type = bfs::type_unknown;
    }
    return info;
}

} // namespace fs
