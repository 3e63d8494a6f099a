#include "core/fs/file_content.h"

#include "core/fs/copy_temporary.h"

#include <boost/system/error_code.hpp>

#include <cerrno>
#include <cstddef>
#include <vector>

#include <fcntl.h>
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

std::string system_message(int code)
{
    return boost::system::error_code(code, boost::system::system_category()).message();
}

descriptor::~descriptor()
{
    if (handle_ >= 0)
        ::close(handle_);
}

int descriptor::release()
{
    const int handle = handle_;
    handle_ = -1;
    return handle;
}

void descriptor::reset(int handle)
{
    if (handle_ >= 0)
        ::close(handle_);
    handle_ = handle;
}

int descriptor::close()
{
    const int closed = ::close(handle_);
    handle_ = -1;
    return closed;
}

int open_regular_file(const boost::filesystem::path& path, struct ::stat& info, copy_failure& failure)
{
    const auto fail = [&](const char* what, int code) {
        failure = { what, code };
        return -1;
    };
    struct ::stat before;
    if (::stat(path.c_str(), &before) != 0)
        return fail("cannot read the source", errno);
    if (!S_ISREG(before.st_mode))
        return fail("the source is not a regular file", 0);
    descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return fail("cannot open the source", errno);
    if (::fstat(file.get(), &info) != 0)
        return fail("cannot read the source", errno);
    if (!S_ISREG(info.st_mode))
        return fail("the source is not a regular file", 0);
    return file.release();
}

bool copy_file_data(int source, const struct ::stat& info, int target, copy_failure& failure)
{
    return copy_content_and_times(source, info, target, failure) && copy_permissions(info, target, failure);
}

bool copy_content_and_times(int source, const struct ::stat& info, int target, copy_failure& failure,
                            const copy_going_on& going_on)
{
    const auto fail = [&](const char* what, int code) {
        failure = { what, code };
        return false;
    };
    if (!copy_file_content(source, target, going_on))
        return fail("cannot copy the content", errno);
    report_copy_step(copy_step::read);
    // A source written to while it was read may have given a mix of old and new content; the
    // copy would carry the old time and pass for equal at the next comparison.
    struct ::stat after;
    if (::fstat(source, &after) != 0)
        return fail("cannot read the source", errno);
    if (after.st_size != info.st_size || after.st_mtim.tv_sec != info.st_mtim.tv_sec
        || after.st_mtim.tv_nsec != info.st_mtim.tv_nsec)
        return fail("the source changed during the copy", 0);
    // Boost's copy keeps the permissions but not the times; both are kept so the pair compares
    // equal at the next comparison.
    const struct ::timespec times[2] = { info.st_atim, info.st_mtim };
    if (::futimens(target, times) != 0)
        return fail("cannot set the times", errno);
    return true;
}

bool copy_permissions(const struct ::stat& info, int target, copy_failure& failure)
{
    // File systems without Unix permissions (FAT and exFAT backup drives) refuse the mode, and
    // one in user space may not implement it at all; that must not fail every copy to them.
    // A set-user-ID or set-group-ID file that now belongs to someone else (a copy made by root
    // of another user's file) would run with rights its owner never gave it: the bits go, as
    // cp drops them.
    mode_t mode = info.st_mode & 07777;
    struct ::stat made;
    if (::fstat(target, &made) != 0) {
        failure = { "cannot read the copy", errno };
        return false;
    }
    if (made.st_uid != info.st_uid || made.st_gid != info.st_gid)
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (::fchmod(target, mode) != 0 && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP
        && errno != ENOSYS) {
        failure = { "cannot set the permissions", errno };
        return false;
    }
    return true;
}

bool copy_file_content(int source, int target, const copy_going_on& going_on)
{
    // A chunk takes milliseconds on a fast volume; after each, the caller may stop the copy. A file
    // of less than a chunk is copied without asking.
    std::size_t chunk = std::size_t(8) << 20;
    std::size_t since_asked = 0;
    const auto go_on = [&](ssize_t copied) {
        since_asked += static_cast<std::size_t>(copied);
        if (since_asked < chunk || !going_on)
            return true;
        since_asked = 0;
        if (going_on())
            return true;
        errno = ECANCELED;
        return false;
    };
    for (;;) {
        const ssize_t copied = ::copy_file_range(source, nullptr, target, nullptr, chunk, 0);
        if (copied == 0)
            return true;
        if (copied > 0) {
            if (!go_on(copied))
                return false;
            continue;
        }
        if (errno == EINTR)
            continue;
        // Where the kernel won't copy, the rest goes through a buffer, from where it stopped.
        if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF)
            break;
        return false;
    }
    // A copy through a buffer mostly goes to another kind of drive, often a slower one: smaller chunks.
    chunk = std::size_t(1) << 20;
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
        if (!write_all(target, buffer.data(), static_cast<std::size_t>(read)) || !go_on(read))
            return false;
    }
}

} // namespace fs
