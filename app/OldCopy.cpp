#include "app/OldCopy.h"

#include "core/fs/file_content.h"

#include <boost/system/error_code.hpp>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string system_message(int code)
{
    return boost::system::error_code(code, boost::system::system_category()).message();
}

}  // namespace

bool copy_old_version(const boost::filesystem::path& file, const boost::filesystem::path& copy, std::string& error,
                      int& code)
{
    code = 0;
    const auto fail = [&](const std::string& what, int failure) {
        code = failure;
        error = "Unable to keep the old version of " + file.string() + " as " + copy.string() + ": " + what
                + (failure != 0 ? ": " + system_message(failure) : std::string());
        return false;
    };
    const int source = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (source < 0)
        return fail("cannot open the file", errno);
    struct ::stat info;
    if (::fstat(source, &info) != 0) {
        const int failure = errno;
        ::close(source);
        return fail("cannot read the file", failure);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(source);
        return fail("not a regular file", 0);
    }
    // O_EXCL: a name already taken (even by a dangling link) is never written through.
    const int target = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (target < 0) {
        const int failure = errno;
        ::close(source);
        return fail(failure == EEXIST ? "the name is taken" : "cannot create the copy", failure == EEXIST ? 0 : failure);
    }
    const auto abandon = [&](const std::string& what, int failure) {
        ::close(target);
        ::close(source);
        ::unlink(copy.c_str());
        return fail(what, failure);
    };
    if (!fs::copy_file_content(source, target))
        return abandon("cannot copy the content", errno);
    const int mode_result = ::fchmod(target, info.st_mode & 0777);
    if (mode_result != 0 && errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return abandon("cannot set the permissions", errno);
    const struct ::timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(target, times) != 0)
        return abandon("cannot set the times", errno);
    // The original is replaced right after this: the copy must be on disk first.
    if (::fsync(target) != 0)
        return abandon("cannot write the copy", errno);
    ::close(source);
    if (::close(target) != 0) {
        const int failure = errno;
        ::unlink(copy.c_str());
        return fail("cannot write the copy", failure);
    }
    return true;
}
