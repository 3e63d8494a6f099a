#pragma once
// Copying one regular file into a new one, shared by every copy the program makes: the file
// opened without waiting, its bytes, permissions and times, and the system's texts for what failed.

#include <boost/filesystem/path.hpp>

#include <functional>
#include <string>

#include <sys/stat.h>

namespace fs {

// The system's text for an error number.
std::string system_message(int code);

// An open file, closed when it goes.
class descriptor {
public:
    explicit descriptor(int handle) : handle_(handle) {}
    ~descriptor();
    descriptor(const descriptor&) = delete;
    descriptor& operator=(const descriptor&) = delete;
    int get() const { return handle_; }
    // Hands the file over, open, to the caller.
    int release();
    // Closes the file held, if any, and holds `handle` instead.
    void reset(int handle = -1);
    // Close reports delayed write errors (a full disk on some file systems), so a copy checks it.
    int close();

private:
    int handle_ { -1 };
};

// What a step of a copy failed at, and the system's error number (0 when there is none).
struct copy_failure {
    const char* what { "" };
    int code { 0 };
};

// Opens `path` for reading when it is a regular file, and gives its status as opened; -1 on
// failure. Opening a FIFO waits for a writer and opening a device can act on it, so nothing else
// is opened, and the open itself never waits.
int open_regular_file(const boost::filesystem::path& path, struct ::stat& info /*out*/,
                      copy_failure& failure /*out*/);

// Copies the open regular file `source`, whose status `info` was taken when it was opened, into
// the new empty file `target`: the content, then the permissions and times. False when a step
// fails or the source changed while it was read.
bool copy_file_data(int source, const struct ::stat& info, int target, copy_failure& failure /*out*/);

// Asked between the chunks of a copy whether it may go on.
using copy_going_on = std::function<bool()>;

// The same in two steps, for a copy that must do something between them: the content and times,
// then the permissions (the mode may forbid changing the file after). A copy that `going_on` stops
// fails with ECANCELED.
bool copy_content_and_times(int source, const struct ::stat& info, int target, copy_failure& failure /*out*/,
                            const copy_going_on& going_on = nullptr);
bool copy_permissions(const struct ::stat& info, int target, copy_failure& failure /*out*/);

// Copies from the source's offset to its end, in chunks; in-kernel where the file systems allow
// it, else through a buffer. False with errno set when a read or write fails, ECANCELED when
// `going_on` stops it.
bool copy_file_content(int source, int target, const copy_going_on& going_on = nullptr);

} // namespace fs
