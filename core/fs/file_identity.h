#pragma once
// A file or folder as the file system knows it, whatever path leads there: a bind mount shows one
// folder under two paths that only this brings together, and a temporary named in a record is
// told from another file of its name by it.

#include <cstdint>
#include <tuple>

#include <sys/stat.h>

namespace fs {

struct file_identity {
    std::uint64_t device { 0 };
    std::uint64_t inode { 0 };

    static file_identity of(const struct ::stat& info)
    {
        return file_identity { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
    }
    bool operator==(const file_identity& other) const { return device == other.device && inode == other.inode; }
    bool operator!=(const file_identity& other) const { return !(*this == other); }
    bool operator<(const file_identity& other) const
    {
        return std::tie(device, inode) < std::tie(other.device, other.inode);
    }
};

} // namespace fs
