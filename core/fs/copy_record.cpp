#include "core/fs/copy_record.h"

#include "core/fs/copy_temporary.h"

#include <cerrno>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs {

namespace {

const char record_prefix[] = "tarvoline-copies-";
const std::size_t record_prefix_length = sizeof(record_prefix) - 1;
const char added = '+';
const char withdrawn = '-';

// File names may hold a line break: one line per entry needs it escaped.
std::string escaped(const std::string& path)
{
    std::string text;
    text.reserve(path.size() + 2);
    for (const char c : path) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else
            text += c;
    }
    return text;
}

std::string unescaped(const std::string& text)
{
    std::string path;
    path.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            path += text[i + 1] == 'n' ? '\n' : text[i + 1];
            ++i;
        } else {
            path += text[i];
        }
    }
    return path;
}

bool read_all(int handle, std::string& content)
{
    char buffer[65536];
    for (;;) {
        const ssize_t read = ::read(handle, buffer, sizeof(buffer));
        if (read == 0)
            return true;
        if (read < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(read));
    }
}

// The temporaries a record still names, in the order of their lines; a last line cut short
// names nothing.
std::vector<std::string> named_temporaries(const std::string& content)
{
    std::vector<std::string> named;
    std::set<std::string> withdrawn_names;
    std::size_t start = 0;
    for (std::size_t end = content.find('\n'); end != std::string::npos; end = content.find('\n', start)) {
        if (end > start + 1) {
            const std::string path = unescaped(content.substr(start + 1, end - start - 1));
            if (content[start] == added) {
                named.push_back(path);
                withdrawn_names.erase(path);
            } else if (content[start] == withdrawn) {
                withdrawn_names.insert(path);
            }
        }
        start = end + 1;
    }
    std::vector<std::string> still;
    for (const std::string& path : named) {
        if (withdrawn_names.count(path) == 0)
            still.push_back(path);
    }
    return still;
}

// Removes one named temporary; false when it is there and stays.
bool remove_named(const std::string& path, copy_record::leftovers& done)
{
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path[0] != '/' || slash == std::string::npos)
        return true;
    const std::string name = path.substr(slash + 1);
    // Only a name of the temporaries' form: a damaged record sends nothing else away.
    if (!is_copy_temporary(name.data(), name.size()))
        return true;
    struct ::stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    // A link or a folder there now was never this program's temporary.
    if (!S_ISREG(info.st_mode))
        return true;
    if (::unlink(path.c_str()) == 0) {
        ++done.removed[slash == 0 ? std::string("/") : path.substr(0, slash)];
        return true;
    }
    if (errno == ENOENT)
        return true;
    done.kept.insert(copy_record::file_identity(info.st_dev, info.st_ino));
    return false;
}

} // namespace

copy_record::copy_record(std::string folder) : folder_(std::move(folder)) {}

copy_record::~copy_record()
{
    if (handle_ >= 0) {
        ::unlink(path_.c_str());
        ::close(handle_);
    }
}

bool copy_record::open()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folder_ + "/" + record_prefix + std::to_string(::getpid()) + "-" + random_suffix();
        const int handle = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (handle < 0 && errno == EEXIST)
            continue;
        if (handle < 0)
            break;
        // Without its lock the record would pass for a dead process's, and another process's
        // comparison would remove the temporaries it names while they are being written.
        struct ::stat info {};
        const bool locked = ::flock(handle, LOCK_EX | LOCK_NB) == 0;
        const int lock_error = errno;
        if (!locked || ::fstat(handle, &info) != 0 || info.st_nlink == 0) {
            ::close(handle);
            // Taken, in the moment before the lock, for a dead process's empty record: a new one.
            if (locked || lock_error == EWOULDBLOCK)
                continue;
            ::unlink(path.c_str());
            break;
        }
        handle_ = handle;
        path_ = path;
        return true;
    }
    unusable_ = true;
    return false;
}

bool copy_record::append(char kind, const std::string& temporary)
{
    const std::string line = kind + escaped(temporary) + "\n";
    // One write: a process killed around it leaves the whole line or none of it.
    const ssize_t written = ::write(handle_, line.data(), line.size());
    if (written > 0)
        size_ += static_cast<std::size_t>(written);
    return written == static_cast<ssize_t>(line.size());
}

bool copy_record::add(const std::string& temporary)
{
    if (unusable_ || (handle_ < 0 && !open()))
        return false;
    return append(added, temporary);
}

void copy_record::withdraw(const std::string& temporary)
{
    if (handle_ >= 0)
        append(withdrawn, temporary);
}

void copy_record::clear()
{
    if (handle_ >= 0 && size_ > 0 && ::ftruncate(handle_, 0) == 0)
        size_ = 0;
}

copy_record::leftovers copy_record::remove_leftovers(const std::string& folder)
{
    leftovers done;
    std::vector<std::string> records;
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr)
        return done;
    while (const struct ::dirent* entry = ::readdir(stream)) {
        if (std::string(entry->d_name).compare(0, record_prefix_length, record_prefix) == 0)
            records.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(stream);
    for (const std::string& record : records) {
        const int handle = ::open(record.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (handle < 0)
            continue;
        // A record still locked belongs to a process that runs: its temporaries are in use. One
        // unlinked meanwhile was another comparison's; one of another user's is none of ours.
        struct ::stat info;
        std::string content;
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0 && ::fstat(handle, &info) == 0 && S_ISREG(info.st_mode)
            && info.st_nlink > 0 && info.st_uid == ::geteuid() && read_all(handle, content)) {
            bool all_gone = true;
            for (const std::string& temporary : named_temporaries(content))
                all_gone = remove_named(temporary, done) && all_gone;
            if (all_gone)
                ::unlink(record.c_str());
        }
        ::close(handle);
    }
    return done;
}

} // namespace fs
