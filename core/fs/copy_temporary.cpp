#include "core/fs/copy_temporary.h"

#include <boost/filesystem/operations.hpp>

#include <cstring>
#include <random>

#include <unistd.h>

namespace fs {

namespace {

const char tag[] = ".tarvoline-";
const std::size_t tag_length = sizeof(tag) - 1;
const std::size_t suffix_length = 8;
const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";

bool suffix_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
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

void remove_copy_temporaries(const boost::filesystem::path& folder)
{
    namespace bfs = boost::filesystem;
    boost::system::error_code error;
    for (bfs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string& path = entry->path().native();
        const std::size_t slash = path.rfind('/');
        const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
        if (is_copy_temporary(path.data() + start, path.size() - start))
            ::unlink(path.c_str());
    }
}

} // namespace fs
