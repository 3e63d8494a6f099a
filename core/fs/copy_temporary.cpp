#include "core/fs/copy_temporary.h"

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
// Only this program writes it. Its value is the temporary's own name, so the file renamed into
// place, should the mark stay on it, is no temporary under any other name.
const char mark[] = "user.tarvoline.copy";

bool suffix_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string file_name_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string copy_temporary_name(const boost::filesystem::path& target)
{
    static std::mt19937_64 generator { std::random_device {}() };
    std::string suffix;
    for (std::size_t i = 0; i < suffix_length; ++i)
        suffix += letters[generator() % (sizeof(letters) - 1)];
    // A name near the file system's 255-byte limit would leave no room for the suffix; the
    // temporary only needs to be recognisable, so a long name is cut.
    return "." + target.filename().string().substr(0, 200) + tag + suffix;
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

int create_copy_temporary(const boost::filesystem::path& target, boost::filesystem::path& temporary)
{
    int handle = -1;
    for (int attempt = 0; attempt < 100 && handle < 0; ++attempt) {
        temporary = target.parent_path() / copy_temporary_name(target);
        handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (handle < 0 && errno != EEXIST)
            return -1;
    }
    if (handle < 0)
        return -1;
    // Without the mark the temporary still works; left behind, it is taken for a user's file.
    const std::string name = temporary.filename().string();
    ::fsetxattr(handle, mark, name.data(), name.size(), XATTR_CREATE);
    return handle;
}

int put_copy_in_place(const boost::filesystem::path& temporary, const boost::filesystem::path& target)
{
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return -1;
    // A read-only file keeps the mark where only its owner may change it; it names the
    // temporary, not this file, so it does no harm there.
    const int kept = errno;
    ::lremovexattr(target.c_str(), mark);
    errno = kept;
    return 0;
}

std::size_t remove_copy_temporaries(const boost::filesystem::path& folder)
{
    namespace bfs = boost::filesystem;
    std::size_t removed = 0;
    boost::system::error_code error;
    for (bfs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string& path = entry->path().native();
        if (is_own_copy_temporary(path) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace fs
