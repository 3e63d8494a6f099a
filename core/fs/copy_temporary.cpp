#include "core/fs/copy_temporary.h"

#include "core/fs/copy_record.h"
#include "core/fs/file_content.h"

#include <boost/filesystem/operations.hpp>

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs {

namespace {

const char tag[] = ".tarvoline-";
const std::size_t tag_length = sizeof(tag) - 1;
const std::size_t suffix_length = 8;
const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// Only this program writes it, and takes it off before the temporary takes its target's name.
// Its value is the temporary's own name: a file of another name that carries it is none.
const char mark[] = "user.tarvoline.copy";

bool suffix_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

void mark_temporary(int handle, const std::string& name, int flags)
{
    ::fsetxattr(handle, mark, name.data(), name.size(), flags);
}

// An unnamed file in `folder`, or -1 where the file system has none.
int unnamed_file(const boost::filesystem::path& folder)
{
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR);
}

// The temporary as a new file, marked at once: -1 with errno.
int create_named(const boost::filesystem::path& temporary)
{
    const int handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (handle >= 0) {
        report_copy_step(copy_step::named);
        mark_temporary(handle, temporary.filename().string(), XATTR_CREATE);
    }
    return handle;
}

// The unnamed file, marked, linked under the temporary's name: -1 with errno. Where it can't be
// linked (no /proc to link it from, a file system that refuses), the temporary is a new file, and
// so are those that follow; the record covers the moment before its mark.
int name_unnamed(descriptor& unnamed, const boost::filesystem::path& temporary)
{
    mark_temporary(unnamed.get(), temporary.filename().string(), 0);
    const std::string unnamed_path = "/proc/self/fd/" + std::to_string(unnamed.get());
    if (::linkat(AT_FDCWD, unnamed_path.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        report_copy_step(copy_step::named);
        return unnamed.release();
    }
    if (errno == EEXIST)
        return -1;
    unnamed.reset();
    return create_named(temporary);
}

std::string file_name_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::function<void(copy_step)> on_copy_step;

void report_copy_step(copy_step step)
{
    if (on_copy_step)
        on_copy_step(step);
}

std::string random_suffix()
{
    static std::mt19937_64 generator { std::random_device {}() };
    std::string suffix;
    for (std::size_t i = 0; i < suffix_length; ++i)
        suffix += letters[generator() % (sizeof(letters) - 1)];
    return suffix;
}

std::string copy_temporary_name(const boost::filesystem::path& target)
{
    // A name near the file system's 255-byte limit would leave no room for the suffix; the
    // temporary only needs to be recognisable, so a long name is cut.
    return "." + target.filename().string().substr(0, 200) + tag + random_suffix();
}

bool is_copy_temporary(const char* file_name, std::size_t length)
{
    if (length < 2 + tag_length + suffix_length || file_name[0] != '.')
        return false;
    const char* suffix = file_name + length - suffix_length;
    for (std::size_t i = 0; i < suffix_length; ++i) {
        if (!suffix_letter(suffix[i]))
            return false;
    }
    return std::memcmp(suffix - tag_length, tag, tag_length) == 0;
}

bool is_own_copy_temporary(const std::string& file)
{
    const std::string name = file_name_of(file);
    if (!is_copy_temporary(name.data(), name.size()))
        return false;
    // One byte more than the name: a longer value is no match either.
    std::string value(name.size() + 1, '\0');
    const ssize_t length = ::lgetxattr(file.c_str(), mark, &value[0], value.size());
    return length == static_cast<ssize_t>(name.size()) && value.compare(0, name.size(), name) == 0;
}

int create_copy_temporary(const boost::filesystem::path& target, boost::filesystem::path& temporary,
                          copy_record* record, const boost::filesystem::path& root)
{
    const boost::filesystem::path folder = target.parent_path();
    // Unnamed until it carries its mark, the temporary can't be left behind unmarked: a process
    // killed before the link leaves nothing.
    descriptor unnamed(unnamed_file(folder));
    bool named = !temporary.empty();
    for (int attempt = 0; attempt < 100; ++attempt, named = false) {
        // Named in the record before the file is: where no mark is kept, or once it is off, the
        // record alone tells the temporary from a user's file.
        if (!named) {
            temporary = folder / copy_temporary_name(target);
            if (record != nullptr && !record->add(temporary, root))
                return -1;
        }
        if (record != nullptr) {
            // The drive the unnamed file is on tells whether the folder noted is still the one at
            // its path, without looking it up again; without one, the folder is looked at.
            struct ::stat unnamed_info;
            const bool on_drive = unnamed.get() >= 0 && ::fstat(unnamed.get(), &unnamed_info) == 0;
            if (!record->note_folder(on_drive ? &unnamed_info : nullptr))
                return -1;
        }
        const int handle = unnamed.get() >= 0 ? name_unnamed(unnamed, temporary) : create_named(temporary);
        if (handle >= 0) {
            if (record != nullptr)
                record->made();
            return handle;
        }
        // Nothing was made: the record must not name what may be someone else's file.
        const int code = errno;
        if (record != nullptr && !record->take_back())
            return -1;
        if (code != EEXIST) {
            errno = code;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

bool unmark_copy_temporary(int handle)
{
    // Taken off while the temporary's mode still lets its owner change it: a read-only mode
    // would keep it on the user's file for good.
    if (::fremovexattr(handle, mark) != 0 && errno != ENODATA && errno != ENOTSUP)
        return false;
    report_copy_step(copy_step::unmarked);
    return true;
}

int put_copy_in_place(const boost::filesystem::path& temporary, const boost::filesystem::path& target)
{
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return -1;
    report_copy_step(copy_step::placed);
    return 0;
}

std::size_t remove_copy_temporaries(const boost::filesystem::path& folder, copies_in_flight* in_flight)
{
    namespace bfs = boost::filesystem;
    std::size_t removed = 0;
    boost::system::error_code error;
    for (bfs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string& path = entry->path().native();
        if (!is_own_copy_temporary(path))
            continue;
        struct ::stat info;
        if (in_flight != nullptr
            && (::lstat(path.c_str(), &info) != 0 || in_flight->names(file_name_of(path), file_identity::of(info))))
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace fs
