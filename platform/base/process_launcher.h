#pragma once
// Starting external programs without a shell: an argument vector goes to posix_spawnp, the
// start error (errno) comes back at once, and the child is reaped on a detached thread that
// touches nothing else. The launcher is replaceable so tests record what would run.
// Showing a file in its folder and opening a file with the desktop's default program are
// built on it.

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct process_request {
    // arguments[0] is the program, looked up in PATH when it holds no "/".
    std::vector<std::string> arguments;
    // Called on the reaping thread with the child's exit status (a signal gives 128 + its
    // number); may be empty. It must not touch windows (post to them instead).
    std::function<void(int exit_status)> on_exit;
};

// Answers 0 when the program started, else the errno of the failed start.
using process_launcher = std::function<int(const process_request& request)>;

// Returns the launcher it replaces; an empty one restores the real launcher.
process_launcher set_process_launcher(process_launcher launcher);
int launch_process(const process_request& request);
int launch_process(const std::vector<std::string>& arguments);

// An options text as arguments: split at blanks (spaces and tabs), double quotes group blanks
// into one argument and are removed; nothing else is interpreted.
std::vector<std::string> split_options(const std::string& text);

// "file://" URI of an absolute path, every byte outside the unreserved set and "/" escaped.
std::string file_uri(const std::string& path);

// Where a desktop service tells a failure that comes after its call has returned: one line of
// text, on the thread that saw it. Called under a lock, so once a reporter has been replaced
// no call reaches it any more. Returns the reporter it replaces.
using failure_reporter = std::function<void(const std::string& text)>;
failure_reporter set_failure_reporter(failure_reporter reporter);
void report_failure(const std::string& text);

// Shows path selected in the desktop's file manager (org.freedesktop.FileManager1.ShowItems
// through gdbus); when that cannot be done, opens the folder holding path with xdg-open.
// Answers 0 or the errno of the start that failed. When gdbus started but the file manager
// did not answer and xdg-open then cannot start, the failure goes to the failure reporter.
int show_in_folder(const std::string& path);
// The line for a path show_in_folder could not show, `error` being the errno of the start.
std::string show_in_folder_failure(const std::string& path, int error);
// Opens path with the desktop's default program (xdg-open).
int open_with_default_program(const std::string& path);

}  // namespace platform
