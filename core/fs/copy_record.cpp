#include "core/fs/copy_record.h"

#include "core/fs/copy_temporary.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs {

namespace {

const char record_prefix[] = "tarvoline-copies-";
const std::size_t record_prefix_length = sizeof(record_prefix) - 1;
const char root_line = '=';
const char folder_line = ':';
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

// False for a text no record writes: a backslash before anything but a backslash or "n".
bool unescape(const char* begin, const char* end, std::string& path /*out*/)
{
    path.clear();
    for (const char* at = begin; at != end; ++at) {
        if (*at != '\\') {
            path += *at;
            continue;
        }
        if (++at == end || (*at != 'n' && *at != '\\'))
            return false;
        path += *at == 'n' ? '\n' : '\\';
    }
    return true;
}

// An absolute path without "." or ".." elements or empty ones, as a real path reads.
bool plain_absolute(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return false;
    if (path.size() == 1)
        return true;
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::size_t length = end - start;
        if (length == 0 || (length == 1 && path[start] == '.') || (length == 2 && path.compare(start, 2, "..") == 0))
            return false;
        start = end + 1;
    }
    return true;
}

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string name_of(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

bool inside(const std::string& path, const std::string& root)
{
    if (root == "/")
        return path.size() > 1;
    return path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

// Whether `path`, as a record has it, names a temporary below one of the record's roots.
bool temporary_below(const std::string& path, const std::vector<std::string>& roots)
{
    const std::string name = name_of(path);
    return is_copy_temporary(name.data(), name.size())
        && std::any_of(roots.begin(), roots.end(), [&](const std::string& root) { return inside(path, root); });
}

// Whether `folder` is there and its real path is still the one written: a folder away (a drive
// unplugged) is not, nor one reached now through a linked folder.
bool resolves_as_written(const std::string& folder)
{
    char* resolved = ::realpath(folder.c_str(), nullptr);
    if (resolved == nullptr)
        return false;
    const bool same = folder == resolved;
    std::free(resolved);
    return same;
}

// The same, and, where the record noted it, the very folder the temporary was made in: another
// one at its path (another drive, a folder made again after the first was renamed away) is not.
bool folder_as_written(const std::string& folder, const file_identity* noted)
{
    if (!resolves_as_written(folder))
        return false;
    struct ::stat info;
    return noted == nullptr || (::stat(folder.c_str(), &info) == 0 && file_identity::of(info) == *noted);
}

std::string folder_note(const std::string& folder, const file_identity& identity)
{
    return folder_line + std::to_string(identity.device) + ' ' + std::to_string(identity.inode) + ' '
        + escaped(folder) + '\n';
}

// Reads a number and the space after it.
bool read_number(const char*& at, const char* end, std::uint64_t& number)
{
    const char* const start = at;
    number = 0;
    for (; at != end && *at >= '0' && *at <= '9'; ++at) {
        const std::uint64_t digit = static_cast<std::uint64_t>(*at - '0');
        if (number > (UINT64_MAX - digit) / 10)
            return false;
        number = number * 10 + digit;
    }
    if (at == start || at == end || *at != ' ')
        return false;
    ++at;
    return true;
}

struct record_line {
    // 0 for a line no record writes.
    char kind { 0 };
    std::string path;
    // A folder line's.
    file_identity folder;
};

// Calls `line(read)` for each whole line of `text`, and answers where the whole lines end.
template <typename Line>
std::size_t read_lines(const std::string& text, Line line)
{
    std::size_t start = 0;
    record_line read;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        read.kind = end > start ? text[start] : 0;
        const char* at = text.data() + start + 1;
        const char* const line_end = text.data() + end;
        bool known = read.kind == root_line || read.kind == added || read.kind == withdrawn
            || (read.kind == folder_line && read_number(at, line_end, read.folder.device)
                && read_number(at, line_end, read.folder.inode));
        // A NUL byte is the one byte no path holds: the system would take the text before it for
        // the path, a file the line doesn't name.
        known = known && unescape(at, line_end, read.path) && plain_absolute(read.path)
            && read.path.find('\0') == std::string::npos;
        if (!known)
            read.kind = 0;
        line(static_cast<const record_line&>(read));
        start = end + 1;
    }
    return start;
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

// One write, never resumed: a process killed around it leaves the whole text or none of it, and
// a short one is a volume that is full.
bool write_once(int handle, const std::string& text)
{
    ssize_t written;
    do
        written = ::write(handle, text.data(), text.size());
    while (written < 0 && errno == EINTR);
    if (written >= 0 && written != static_cast<ssize_t>(text.size()))
        errno = ENOSPC;
    return written == static_cast<ssize_t>(text.size());
}

// The records in `folder`, by path, sorted.
std::vector<std::string> records_in(const std::string& folder)
{
    std::vector<std::string> records;
    DIR* stream = ::opendir(folder.c_str());
    if (stream == nullptr)
        return records;
    while (const struct ::dirent* entry = ::readdir(stream)) {
        if (std::strncmp(entry->d_name, record_prefix, record_prefix_length) == 0)
            records.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(stream);
    std::sort(records.begin(), records.end());
    return records;
}

// Gone from the folder it was made in (`folder`, where noted), as the error `code` of a look at it
// or of its removal tells: a temporary whose folder is away, or another folder is at its path, may
// still be in it.
bool gone(int code, const std::string& temporary, const file_identity* folder)
{
    return code == ENOENT && folder_as_written(folder_of(temporary), folder);
}

// A temporary a record names, and the folder it was made in where the record noted it.
struct named_temporary {
    std::string path;
    bool noted;
    file_identity folder;
};

// Removes a leftover a dead process's record names; true once it is settled, removed or gone.
// One whose folder is away waits for the folder's return, and one that is not plainly the
// record's own temporary stays where it is: both keep the record.
bool settle(const named_temporary& temporary, const std::vector<std::string>& roots,
            copy_record::leftovers& done)
{
    const std::string& path = temporary.path;
    const file_identity* folder = temporary.noted ? &temporary.folder : nullptr;
    if (!temporary_below(path, roots) || !resolves_as_written(folder_of(path)))
        return false;
    struct ::stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return gone(errno, path, folder);
    if (!S_ISREG(info.st_mode))
        return false;
    if (::unlink(path.c_str()) != 0)
        return gone(errno, path, folder);
    ++done.removed[folder_of(path)];
    return true;
}

// `folder`'s real path; for one not made yet (a row's folder, named before it is made), the real
// path of the nearest folder above it that is there, and the rest as written.
std::string real_folder_path(const std::string& folder)
{
    boost::filesystem::path there(folder.empty() ? "." : folder);
    std::vector<std::string> missing;
    for (;;) {
        if (char* resolved = ::realpath(there.empty() ? "." : there.c_str(), nullptr)) {
            std::string real = resolved;
            std::free(resolved);
            for (auto step = missing.rbegin(); step != missing.rend(); ++step)
                real += (real == "/" ? "" : "/") + *step;
            return real;
        }
        const std::string step = there.filename().string();
        if (errno != ENOENT || !there.has_filename() || step == "." || step == ".." || step == "/")
            break;
        missing.push_back(step);
        there = there.parent_path();
    }
    // Where it can't be resolved no temporary will be made either.
    return boost::filesystem::path(folder).lexically_normal().string();
}

} // namespace

// Tells, without a path lookup, whether anything happened to the record's file (deleted, renamed)
// or to a folder on its path (removed, renamed) since it was last asked: each copy asks, and a
// whole path looked up each time cost a tenth of a merge of small files on a fast volume. An event
// only sends the record to look at its path; the look decides.
class copy_record::place_watch {
public:
    place_watch() : events_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

    // Follows the record's file at `record`, and with `folders` its folder and each one above it,
    // in place of what it followed. False where the system gives no watch (too many in use).
    bool follow(const std::string& record, const std::string& folder, bool folders)
    {
        if (events_.get() < 0)
            return false;
        if (record_watch_ >= 0)
            ::inotify_rm_watch(events_.get(), record_watch_);
        record_watch_ = ::inotify_add_watch(events_.get(), record.c_str(),
                                            IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF | IN_DONT_FOLLOW);
        if (record_watch_ < 0)
            return false;
        if (!folders && !folder_watches_.empty())
            return true;
        for (const int watch : folder_watches_)
            ::inotify_rm_watch(events_.get(), watch);
        folder_watches_.clear();
        for (boost::filesystem::path above(folder); !above.empty(); above = above.parent_path()) {
            const int watch = ::inotify_add_watch(events_.get(), above.c_str(), IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR);
            if (watch < 0)
                return false;
            folder_watches_.push_back(watch);
            if (above == above.root_path())
                break;
        }
        return true;
    }

    // True when nothing happened since the last call. Safe beside `follow` in another thread.
    bool quiet()
    {
        alignas(struct ::inotify_event) char events[4096];
        bool any = false;
        for (;;) {
            const ssize_t read = ::read(events_.get(), events, sizeof(events));
            if (read > 0) {
                any = true;
                continue;
            }
            if (read < 0 && errno == EINTR)
                continue;
            return !any && read < 0 && errno == EAGAIN;
        }
    }

private:
    descriptor events_;
    int record_watch_ { -1 };
    std::vector<int> folder_watches_;
};

copy_record::copy_record(std::string folder) : folder_(std::move(folder)) {}

copy_record::~copy_record()
{
    if (record_.get() < 0)
        return;
    settle_kept();
    // A temporary still kept is named for the next comparison of another process; the lock goes
    // with the process.
    if (kept_.empty())
        ::unlink(path_.c_str());
}

bool copy_record::fail(int code)
{
    error_ = code;
    errno = code;
    return false;
}

std::string copy_record::failure() const
{
    return "Cannot keep the record of copies in flight in " + folder_ + ": " + system_message(error_);
}

bool copy_record::open()
{
    // What it names goes on being named: temporaries kept, and those in flight when the record is
    // written again.
    std::vector<entry*> carried;
    for (entry& kept : kept_)
        carried.push_back(&kept);
    for (entry& named : named_) {
        if (std::none_of(kept_.begin(), kept_.end(), [&](const entry& kept) { return kept.path == named.path; }))
            carried.push_back(&named);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = folder_ + "/" + record_prefix + std::to_string(::getpid()) + "-" + random_suffix();
        descriptor made(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (made.get() < 0 && errno == EEXIST)
            continue;
        if (made.get() < 0)
            return fail(errno);
        // Without its lock the record would pass for a dead process's, and another process's
        // comparison would remove the temporaries it names while they are being written.
        struct ::stat info {};
        const bool locked = ::flock(made.get(), LOCK_EX | LOCK_NB) == 0;
        const int lock_error = errno;
        if (!locked || ::fstat(made.get(), &info) != 0 || info.st_nlink == 0) {
            // Taken, in the moment before the lock, for a dead process's empty record, by a
            // comparison that may remove it or only read it: it goes, and a new one is made.
            struct ::stat there;
            if (!locked && ::fstat(made.get(), &info) == 0 && ::lstat(path.c_str(), &there) == 0
                && file_identity::of(there) == file_identity::of(info))
                ::unlink(path.c_str());
            if (locked || lock_error == EWOULDBLOCK)
                continue;
            return fail(lock_error);
        }
        std::string lines;
        std::vector<std::string> roots;
        std::map<std::string, file_identity, std::less<>> noted;
        // Each one as a comparison reads it: one not noted is in the folder last noted at its path.
        std::vector<entry> written;
        for (const entry* named : carried) {
            if (std::find(roots.begin(), roots.end(), named->root) == roots.end()) {
                roots.push_back(named->root);
                lines += root_line + escaped(named->root) + '\n';
            }
            written.push_back(*named);
            entry& read = written.back();
            read.line_at = lines.size();
            const std::string folder = folder_of(named->path);
            const auto note = noted.find(folder);
            if (read.noted && (note == noted.end() || note->second != read.folder)) {
                lines += folder_note(folder, read.folder);
                noted[folder] = read.folder;
            } else if (!read.noted && note != noted.end()) {
                read.noted = true;
                read.folder = note->second;
            }
            lines += added + escaped(named->path) + '\n';
        }
        if (!lines.empty() && !write_once(made.get(), lines)) {
            const int code = errno;
            ::unlink(path.c_str());
            return fail(code);
        }
        for (std::size_t at = 0; at < carried.size(); ++at)
            *carried[at] = written[at];
        record_.reset(made.release());
        identity_ = file_identity::of(info);
        path_ = path;
        // Made first on the thread that names the first temporary, before any other asks.
        if (watch_ == nullptr)
            watch_ = std::make_unique<place_watch>();
        // Written again elsewhere than before, or the first time: its folders are followed anew.
        watching_ = watch_->follow(path_, folder_, suspect_ || !watching_);
        suspect_ = false;
        size_ = lines.size();
        opened_size_ = size_;
        roots_ = std::move(roots);
        noted_ = std::move(noted);
        cut_short_ = false;
        return true;
    }
    return fail(EEXIST);
}

bool copy_record::usable()
{
    error_ = 0;
    return record_.get() >= 0 || open();
}

bool copy_record::stay_in_place()
{
    // Nothing happened since the last look: no lock and no path lookup, for the flushing threads
    // ask at once.
    if (watching_ && !suspect_) {
        if (watch_->quiet() && !suspect_)
            return true;
        suspect_ = true;
    }
    const std::lock_guard<std::mutex> lock(place_mutex_);
    error_ = 0;
    // Another thread looked meanwhile, and found it in place or wrote it again.
    if (record_.get() < 0 || (watching_ && !suspect_))
        return true;
    struct ::stat info;
    if (::stat(path_.c_str(), &info) == 0 && file_identity::of(info) == identity_) {
        suspect_ = false;
        return true;
    }
    suspect_ = true;
    // Deleted, or its folder removed or renamed: no comparison reads what it names any more.
    // Those settled since (in place, or removed from the folder they were made in) are left out;
    // one not made yet is always kept.
    named_.erase(std::remove_if(named_.begin(), named_.end(),
                                [](const entry& named) {
                                    struct ::stat found;
                                    return named.made && ::lstat(named.path.c_str(), &found) != 0
                                        && gone(errno, named.path, named.noted ? &named.folder : nullptr);
                                }),
                 named_.end());
    auto displaced = std::make_unique<descriptor>(record_.release());
    if (!open()) {
        record_.reset(displaced->release());
        return false;
    }
    // Its lock stays: found again (its folder renamed back), it would pass for a dead process's.
    displaced_.push_back(std::move(displaced));
    return true;
}

const std::string& copy_record::real_folder(const std::string& folder)
{
    const auto known = real_folders_.find(folder);
    if (known != real_folders_.end())
        return known->second;
    return real_folders_.emplace(folder, real_folder_path(folder)).first->second;
}

std::string copy_record::real_path(const boost::filesystem::path& temporary)
{
    const std::string& folder = real_folder(temporary.parent_path().string());
    return (folder == "/" ? folder : folder + "/") + temporary.filename().string();
}

bool copy_record::append(const std::string& lines)
{
    // What a short write left of a line goes before anything follows it.
    if (cut_short_) {
        if (::ftruncate(record_.get(), static_cast<off_t>(size_)) != 0)
            return fail(errno);
        cut_short_ = false;
    }
    if (write_once(record_.get(), lines)) {
        size_ += lines.size();
        return true;
    }
    // A full volume took only part of it: the record is cut back to its last whole line, or the
    // next line would be glued to the part and lost.
    const int code = errno;
    struct ::stat info;
    if (::fstat(record_.get(), &info) != 0 || static_cast<std::size_t>(info.st_size) != size_)
        cut_short_ = ::ftruncate(record_.get(), static_cast<off_t>(size_)) != 0;
    return fail(code);
}

bool copy_record::add(const boost::filesystem::path& temporary, const boost::filesystem::path& root)
{
    if (!usable())
        return false;
    entry named;
    named.path = real_path(temporary);
    named.root = real_folder(root.string());
    // A root that does not lead to the temporary would make its line one no comparison trusts.
    if (!inside(named.path, named.root))
        named.root = folder_of(named.path);
    std::string lines;
    const bool new_root = std::find(roots_.begin(), roots_.end(), named.root) == roots_.end();
    if (new_root)
        lines = root_line + escaped(named.root) + '\n';
    const std::size_t named_at = lines.size();
    // As a comparison reads it: in the folder last noted at its path, until noted again.
    const std::string_view folder(named.path.data(), std::max<std::size_t>(named.path.rfind('/'), 1));
    const auto note = noted_.find(folder);
    bool new_note = false;
    if (note != noted_.end()) {
        named.noted = true;
        named.folder = note->second;
    } else {
        struct ::stat info;
        const std::string folder_path(folder);
        if (::stat(folder_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            named.noted = true;
            named.folder = file_identity::of(info);
            lines += folder_note(folder_path, named.folder);
            new_note = true;
        }
    }
    lines += added;
    lines += escaped(named.path);
    lines += '\n';
    if (!append(lines))
        return false;
    if (new_root)
        roots_.push_back(named.root);
    if (new_note)
        noted_.emplace(std::string(folder), named.folder);
    named.line_at = size_ - (lines.size() - named_at);
    named_.push_back(std::move(named));
    return true;
}

bool copy_record::note_folder(const file_identity& found)
{
    error_ = 0;
    if (record_.get() < 0 || named_.empty())
        return true;
    if (!stay_in_place())
        return false;
    return write_note(found);
}

bool copy_record::note_folder(const struct ::stat* unnamed)
{
    error_ = 0;
    if (record_.get() < 0 || named_.empty())
        return true;
    // Lost since the name was written (while the Rename rule kept an old version), the record is
    // written again with the name before its temporary is made.
    if (!stay_in_place())
        return false;
    // Nothing reads an empty list.
    if (named_.empty())
        return true;
    const entry& named = named_.back();
    if (unnamed != nullptr && named.noted && named.folder.device == static_cast<std::uint64_t>(unnamed->st_dev))
        return true;
    struct ::stat info;
    // No folder, no temporary: making it fails.
    if (::stat(folder_of(named.path).c_str(), &info) != 0)
        return true;
    return write_note(file_identity::of(info));
}

bool copy_record::write_note(const file_identity& found)
{
    if (named_.empty())
        return true;
    entry& named = named_.back();
    if (named.noted && named.folder == found)
        return true;
    // Named once more after the note: the temporary is made in this folder.
    const std::string folder = folder_of(named.path);
    if (!append(folder_note(folder, found) + added + escaped(named.path) + '\n'))
        return false;
    noted_[folder] = found;
    named.noted = true;
    named.folder = found;
    return true;
}

void copy_record::made()
{
    if (!named_.empty())
        named_.back().made = true;
}

bool copy_record::take_back()
{
    error_ = 0;
    if (named_.empty())
        return true;
    const entry named = named_.back();
    named_.pop_back();
    if (append(withdrawn + escaped(named.path) + '\n'))
        return true;
    // No room for the line: the name goes from the end of the record, where its lines are the
    // last, and so does what was noted of its folder since.
    if (::ftruncate(record_.get(), static_cast<off_t>(named.line_at)) != 0)
        return fail(errno);
    size_ = named.line_at;
    cut_short_ = false;
    noted_.erase(folder_of(named.path));
    return true;
}

void copy_record::keep(const boost::filesystem::path& temporary)
{
    const std::string path = real_path(temporary);
    const auto named = std::find_if(named_.rbegin(), named_.rend(), [&](const entry& in_flight) {
        return in_flight.path == path;
    });
    if (named != named_.rend()) {
        kept_.push_back(*named);
        return;
    }
    const auto root = std::find_if(roots_.begin(), roots_.end(), [&](const std::string& declared) {
        return inside(path, declared);
    });
    entry kept;
    kept.root = root != roots_.end() ? *root : folder_of(path);
    kept.path = path;
    kept_.push_back(std::move(kept));
}

void copy_record::settle_kept()
{
    kept_.erase(std::remove_if(kept_.begin(), kept_.end(),
                               [](const entry& kept) {
                                   return ::unlink(kept.path.c_str()) == 0
                                       || gone(errno, kept.path, kept.noted ? &kept.folder : nullptr);
                               }),
                kept_.end());
}

void copy_record::clear()
{
    settle_kept();
    real_folders_.clear();
    // Each temporary named is in place or gone, or kept.
    named_.clear();
    displaced_.clear();
    if (record_.get() < 0 || size_ == opened_size_)
        return;
    // A fresh record takes this one's place rather than this one being emptied: a process reading
    // it meanwhile would take the lines that follow for those it had read.
    descriptor old(record_.release());
    const std::string old_path = path_;
    if (!open()) {
        // This one goes on, naming more than is in flight until the next try.
        record_.reset(old.release());
        return;
    }
    ::unlink(old_path.c_str());
}

copy_record::leftovers copy_record::remove_leftovers(const std::string& folder)
{
    leftovers done;
    for (const std::string& record : records_in(folder)) {
        descriptor handle(::open(record.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        // A record still locked belongs to a process that runs: its temporaries are in use. One
        // unlinked meanwhile was another comparison's; one of another user's is none of ours.
        struct ::stat info;
        std::string content;
        if (handle.get() < 0 || ::flock(handle.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(handle.get(), &info) != 0
            || !S_ISREG(info.st_mode) || info.st_nlink == 0 || info.st_uid != ::geteuid()
            || !read_all(handle.get(), content))
            continue;
        std::vector<std::string> roots;
        std::map<std::string, file_identity> noted;
        std::vector<named_temporary> named;
        bool damaged = false;
        const std::size_t whole = read_lines(content, [&](const record_line& line) {
            if (line.kind == root_line) {
                roots.push_back(line.path);
            } else if (line.kind == folder_line) {
                noted[line.path] = line.folder;
            } else if (line.kind == added) {
                const auto note = noted.find(folder_of(line.path));
                named_temporary temporary { line.path, note != noted.end(), file_identity() };
                if (temporary.noted)
                    temporary.folder = note->second;
                // Named once more after its folder's note: the same temporary, made in that folder.
                if (!named.empty() && named.back().path == line.path)
                    named.back() = temporary;
                else
                    named.push_back(temporary);
            } else if (line.kind == withdrawn) {
                const auto last = std::find_if(named.rbegin(), named.rend(), [&](const named_temporary& temporary) {
                    return temporary.path == line.path;
                });
                if (last != named.rend())
                    named.erase(std::next(last).base());
            } else {
                damaged = true;
            }
        });
        bool settled = !damaged && whole == content.size();
        for (const named_temporary& temporary : named)
            settled = settle(temporary, roots, done) && settled;
        if (settled)
            ::unlink(record.c_str());
    }
    return done;
}

struct copies_in_flight::record {
    descriptor file { -1 };
    // Up to the end of the last whole line read.
    std::size_t read { 0 };
    std::vector<std::string> roots;
    // The temporaries named, by their file names.
    std::unordered_multimap<std::string, std::string> by_name;

    // Reads the lines added since the last reading; false when there were none.
    bool read_new_lines()
    {
        struct ::stat info;
        if (::fstat(file.get(), &info) != 0)
            return false;
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        // Cut back (a name taken back, a line cut short): read again from the start.
        if (size < read) {
            read = 0;
            roots.clear();
            by_name.clear();
        }
        if (size == read)
            return false;
        std::string text(size - read, '\0');
        ssize_t got;
        do
            got = ::pread(file.get(), &text[0], text.size(), static_cast<off_t>(read));
        while (got < 0 && errno == EINTR);
        if (got <= 0)
            return false;
        text.resize(static_cast<std::size_t>(got));
        const std::size_t whole = read_lines(text, [&](const record_line& line) {
            if (line.kind == root_line) {
                roots.push_back(line.path);
            } else if (line.kind == added || line.kind == withdrawn) {
                const auto found = by_name.equal_range(name_of(line.path));
                const auto named = std::find_if(found.first, found.second, [&](const auto& entry) {
                    return entry.second == line.path;
                });
                // A name repeated after its folder's note is the same temporary.
                if (line.kind == added && named == found.second)
                    by_name.emplace(name_of(line.path), line.path);
                else if (line.kind == withdrawn && named != found.second)
                    by_name.erase(named);
            }
        });
        read += whole;
        return whole > 0;
    }
};

copies_in_flight::copies_in_flight(std::string folder) : folder_(std::move(folder)) {}

copies_in_flight::~copies_in_flight() = default;

bool copies_in_flight::names(const std::string& name, const file_identity& file)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return named(name, file) || (read_changes() && named(name, file));
}

bool copies_in_flight::named(const std::string& name, const file_identity& file) const
{
    for (const auto& entry : records_) {
        const record& lines = *entry.second;
        const auto found = lines.by_name.equal_range(name);
        for (auto named = found.first; named != found.second; ++named) {
            const std::string& path = named->second;
            struct ::stat info;
            if (temporary_below(path, lines.roots) && ::lstat(path.c_str(), &info) == 0
                && file_identity::of(info) == file && resolves_as_written(folder_of(path)))
                return true;
        }
    }
    return false;
}

bool copies_in_flight::read_changes()
{
    const std::vector<std::string> present = records_in(folder_);
    for (auto known = records_.begin(); known != records_.end();) {
        if (std::binary_search(present.begin(), present.end(), known->first))
            ++known;
        else
            known = records_.erase(known);
    }
    bool changed = false;
    for (const std::string& path : present) {
        auto known = records_.find(path);
        if (known == records_.end()) {
            descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
            struct ::stat info;
            if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)
                || info.st_uid != ::geteuid())
                continue;
            auto made = std::make_unique<record>();
            made->file.reset(file.release());
            known = records_.emplace(path, std::move(made)).first;
        }
        record& lines = *known->second;
        if (lines.file.get() < 0)
            continue;
        // Unlocked, it is an ended process's: what it names now is all it ever will. Read once, it
        // is closed; kept records of many ended processes would use up the files a process may
        // open. One still empty may be a new record in the moment before its process locks it.
        const bool ended = ::flock(lines.file.get(), LOCK_SH | LOCK_NB) == 0;
        changed = lines.read_new_lines() || changed;
        struct ::stat info;
        if (ended && ::fstat(lines.file.get(), &info) == 0 && info.st_size > 0)
            lines.file.reset();
        else if (ended)
            ::flock(lines.file.get(), LOCK_UN);
    }
    return changed;
}

} // namespace fs
