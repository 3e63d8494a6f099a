#pragma once
// What the command families (the row commands, the file clipboard, the log, the catalogue file,
// export, statistics and the scripts) need of the main window. The window implements it; a
// family that keeps state holds its host, the others take it per command, and all reach the
// window only through it, so they run (and are tested) without the window. The merge has a host
// of its own, merge_host.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CComboBox;
class CDataGridCtrl;
class CWnd;
class logger;
namespace config {
class settings;
}
namespace fs {
class file_archive;
}

class command_host {
public:
    virtual ~command_host() = default;

    // Owner of the dialogs, pickers and questions a command opens.
    virtual CWnd* command_window() = 0;
    virtual logger& command_log() = 0;
    virtual config::settings& command_settings() = 0;
    virtual fs::file_archive& command_archive() = 0;
    virtual CDataGridCtrl& command_grid() = 0;

    // What the window shows: the path fields' texts (the backup path is empty while the "Backup
    // folder" box is clear), the log view's items and the scripts combo box.
    virtual std::string main_path() const = 0;
    virtual std::string backup_path() const = 0;
    virtual std::vector<std::string> log_view_lines() const = 0;
    virtual CComboBox& scripts_combo() = 0;

    // The window's own operations that commands and grid events end in.
    virtual void run_comparison() = 0;
    virtual void merge_row(std::uint64_t row) = 0;
    // Screen point of the right-button press.
    virtual void show_context_menu(long x, long y) = 0;
    // Runs fn the way the window runs a command: behind its barrier, the rows count following.
    virtual void run_command(const std::function<void()>& fn) = 0;
};
