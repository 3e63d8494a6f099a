#include "core/fs/file_content.h"

#include <cerrno>
#include <cstddef>
#include <vector>

#include <unistd.h>

namespace fs {

namespace {

bool write_all(int target, const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(target, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

bool copy_file_content(int source, int target)
{
    bool kernel_copy = true;
    for (;;) {
        const ssize_t copied = ::copy_file_range(source, nullptr, target, nullptr, 1 << 30, 0);
        if (copied == 0)
            return true;
        if (copied > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF) {
            kernel_copy = false;
            break;
        }
        return false;
    }
    if (!kernel_copy) {
        std::vector<char> buffer(1 << 18);
        for (;;) {
            const ssize_t read = ::read(source, buffer.data(), buffer.size());
            if (read == 0)
                return true;
            if (read < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (!write_all(target, buffer.data(), static_cast<std::size_t>(read)))
                return false;
        }
    }
    return true;
}

} // namespace fs
