#pragma once
// The main window's commands on the selected result rows and its handling of the data grid's
// events: open a row's file with its program or a chosen one, compare the two versions with the
// compare tool, show a file in its folder, delete files, store a resized column's width.
//
// Seam with the main window: the window is the command_host of one RowCommands, installs
// GridEventCallback() on its grid and calls one member per menu command. Outcomes go to the log
// only; the questions are the two deletes'.

#include "app/CommandHost.h"
#include "app/DataGridCtrl.h"
#include "app/ExternalCommand.h"

#include <cstdint>
#include <string>
#include <vector>

class RowCommands {
public:
    explicit RowCommands(command_host& host) : m_host(host) {}
    RowCommands(const RowCommands&) = delete;
    RowCommands& operator=(const RowCommands&) = delete;

    // Runs OnGridEvent the way the host runs a command.
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

    command_host& m_host;
};
