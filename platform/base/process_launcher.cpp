#include "platform/base/process_launcher.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {

namespace {

std::mutex launcher_mutex;
std::mutex reporter_mutex;

failure_reporter& installed_reporter()
{
    static failure_reporter reporter;
    return reporter;
}

process_launcher& installed_launcher()
{
    static process_launcher launcher;
    return launcher;
}

int exit_status_of(int wait_status)
{
    if (WIFEXITED(wait_status))
        return WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status))
        return 128 + WTERMSIG(wait_status);
    return -1;
}

int spawn(const process_request& request)
{
    if (request.arguments.empty() || request.arguments.front().empty())
        return ENOENT;
    std::vector<char*> argv;
    argv.reserve(request.arguments.size() + 1);
    for (const std::string& argument : request.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    // posix_spawnp reports a program that cannot be executed (missing, not executable) as
    // its own result, so the caller learns it at once.
    const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        return error;
    std::thread([child, on_exit = request.on_exit] {
        int status = 0;
        pid_t waited = 0;
        do {
            waited = waitpid(child, &status, 0);
        } while (waited == -1 && errno == EINTR);
        if (on_exit)
            on_exit(waited == child ? exit_status_of(status) : -1);
    }).detach();
    return 0;
}

std::string parent_folder(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::string::size_type slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : trimmed.substr(0, slash);
}

}  // namespace

process_launcher set_process_launcher(process_launcher launcher)
{
    std::lock_guard<std::mutex> lock(launcher_mutex);
    return std::exchange(installed_launcher(), std::move(launcher));
}

int launch_process(const process_request& request)
{
    process_launcher launcher;
    {
        std::lock_guard<std::mutex> lock(launcher_mutex);
        launcher = installed_launcher();
    }
    return launcher ? launcher(request) : spawn(request);
}

int launch_process(const std::vector<std::string>& arguments)
{
    process_request request;
    request.arguments = arguments;
    return launch_process(request);
}

std::vector<std::string> split_options(const std::string& text)
{
    std::vector<std::string> arguments;
    std::string current;
    bool in_argument = false;
    bool quoted = false;
    for (const char character : text) {
        if (character == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if (!quoted && (character == ' ' || character == '\t')) {
            if (in_argument)
                arguments.push_back(std::move(current));
            current.clear();
            in_argument = false;
        } else {
            current += character;
            in_argument = true;
        }
    }
    if (in_argument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::string file_uri(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char character : path) {
        const auto byte = static_cast<unsigned char>(character);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                           byte == '-' || byte == '_' || byte == '.' || byte == '~' || byte == '/';
        if (plain) {
            uri += character;
        } else {
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 0x0F];
        }
    }
    return uri;
}

failure_reporter set_failure_reporter(failure_reporter reporter)
{
    std::lock_guard<std::mutex> lock(reporter_mutex);
    return std::exchange(installed_reporter(), std::move(reporter));
}

void report_failure(const std::string& text)
{
    std::lock_guard<std::mutex> lock(reporter_mutex);
    if (installed_reporter())
        installed_reporter()(text);
}

std::string show_in_folder_failure(const std::string& path, int error)
{
    return "Unable to show " + path + " in its folder: no file manager answered and xdg-open could not start ("
        + std::strerror(error) + ")";
}

int show_in_folder(const std::string& path)
{
    const std::string folder = parent_folder(path);
    process_request request;
    // The URI escapes quotes and commas, so it is safe inside the call's array text.
    request.arguments = {"gdbus", "call", "--session", "--dest", "org.freedesktop.FileManager1",
                         "--object-path", "/org/freedesktop/FileManager1", "--method",
                         "org.freedesktop.FileManager1.ShowItems", "['" + file_uri(path) + "']", ""};
    // The caller has had its answer by now: a fallback that cannot start is told elsewhere.
    request.on_exit = [path, folder](int status) {
        if (status == 0)
            return;
        if (const int error = launch_process(std::vector<std::string>{"xdg-open", folder}))
            report_failure(show_in_folder_failure(path, error));
    };
    const int error = launch_process(request);
    if (error == 0)
        return 0;
    return launch_process(std::vector<std::string>{"xdg-open", folder});
}

int open_with_default_program(const std::string& path)
{
    return launch_process(std::vector<std::string>{"xdg-open", path});
}

}  // namespace platform
