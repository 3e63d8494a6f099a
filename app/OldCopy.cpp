#include "app/OldCopy.h"

#include "core/fs/file_content.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool copy_old_version(const boost::filesystem::path& file, const boost::filesystem::path& copy, std::string& error,
                      int& code)
{
    code = 0;
    const auto fail = [&](const std::string& what, int system_code) {
        code = system_code;
        error = "Unable to keep the old version of " + file.string() + " as " + copy.string() + ": " + what
                + (system_code != 0 ? ": " + fs::system_message(system_code) : std::string());
        return false;
    };
    struct ::stat info;
    fs::copy_failure failure;
    fs::descriptor source(fs::open_regular_file(file, info, failure));
    if (source.get() < 0)
        return fail(failure.what, failure.code);
    // O_EXCL: a name already taken (even by a dangling link) is never written through.
    fs::descriptor target(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
    if (target.get() < 0) {
        const int system_code = errno;
        return fail(system_code == EEXIST ? "the name is taken" : "cannot create the copy",
                    system_code == EEXIST ? 0 : system_code);
    }
    const auto abandon = [&](const std::string& what, int system_code) {
        target.close();
        ::unlink(copy.c_str());
        return fail(what, system_code);
    };
    if (!fs::copy_file_data(source.get(), info, target.get(), failure))
        return abandon(failure.what, failure.code);
    // The original is replaced right after this: the copy must be on disk first.
    if (::fsync(target.get()) != 0)
        return abandon("cannot write the copy", errno);
    if (target.close() != 0) {
        const int system_code = errno;
        ::unlink(copy.c_str());
        return fail("cannot write the copy", system_code);
    }
    return true;
}
