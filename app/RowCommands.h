#pragma once
// The main window's commands on the selected result rows and its handling of the data grid's
// events: open a row's file with its program or a chosen one, compare the two versions with the
// compare tool, show a file in its folder, delete files, store a resized column's width.
//
// Seam with the main window: the window owns one RowCommands beside its grid, hands it the
// window's own operations (comparison, single-row merge, context menu), installs
// GridEventCallback() on the grid and calls one member per menu command. Outcomes go to the log
// only; the questions are the two deletes'.

#include "app/DataGridCtrl.h"
#include "app/ExternalCommand.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CWnd;
class logger;

namespace config {
class settings;
}

class RowCommands {
public:
    struct window_operations {
        std::function<void()> run_comparison;
        std::function<void(std::uint64_t row)> merge_row;
        // Screen point of the right-button press.
        std::function<void(long x, long y)> show_context_menu;
        // Owner of the "Command prompt" dialog and of the question.
        CWnd* owner = nullptr;
    };

    RowCommands(config::settings& store, logger& log, CDataGridCtrl& grid, window_operations window)
        : m_store(store), m_log(log), m_grid(grid), m_window(std::move(window))
    {
    }

    CDataGridCtrl::grid_event_callback GridEventCallback();
    void OnGridEvent(const std::uint64_t& row, const std::uint64_t& column, const CDataGridCtrl::grid_event& event,
                     long x, long y, bool& flag /*in, out*/, const std::string& text);

    // side: "file" (main tree) or "backup".
    void RunOrOpen(const std::string& side, bool with_dialog);
    void OpenWith(bool remember, const std::string& file, const std::string& program);
    void Compare();
    void GoTo(const std::string& side);
    void Delete(const std::string& side);
    // Logs "Running " and the command's text, then starts it detached; a start that fails is
    // logged at once.
    void RunExternalCommand(const external_command::command& command);

private:
    struct selected_row {
        long index = 0;
        std::string main_file;
        std::string backup_file;
        // The name the row goes by: the main side's, or the backup side's where main has none.
        std::string name;
    };
    std::vector<selected_row> SelectedRows();
    // The Delete key's question, naming the rows; false for No or when no row is selected.
    bool AskDeleteRows();
    static const std::string& FileOn(const selected_row& row, const std::string& side);
    void DeleteRowFiles(std::uint64_t row);
    void StoreColumnWidth(std::uint64_t column, long width);
    void Error(const std::string& text);

    config::settings& m_store;
    logger& m_log;
    CDataGridCtrl& m_grid;
    window_operations m_window;
};
