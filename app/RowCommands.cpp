#include "app/RowCommands.h"

#include "app/CommandExecDialog.h"
#include "app/RowFile.h"
#include "app/settings_keys.h"

#include "core/config/settings.h"
#include "core/data/data_table.h"
#include "core/logger.h"
#include "platform/base/modal.h"
#include "platform/base/process_launcher.h"

#include <boost/filesystem.hpp>

#include <exception>

namespace {

// The Delete key deletes files for good, so the question says so.
constexpr char delete_question[] = "Delete selected rows?\nThe files of these rows are deleted from both folders.";

// How many names a delete question lists before it only counts the rest.
constexpr std::size_t named_in_question = 5;

// "3 rows:" and the first names, one per line: what is deleted, not just that something is.
std::string count_and_names(const std::vector<std::string>& names, const char* one, const char* many)
{
    std::string text = std::to_string(names.size()) + " " + (names.size() == 1 ? one : many) + ":";
    for (std::size_t index = 0; index < names.size() && index < named_in_question; ++index)
        text += "\n" + names[index];
    if (names.size() > named_in_question)
        text += "\n... and " + std::to_string(names.size() - named_in_question) + " more";
    return text;
}

std::string folder_of_side(const std::string& side)
{
    return side == row_file::backup_side ? "backup" : "main";
}

std::string extension_of(const std::string& file)
{
    return boost::filesystem::path(file).extension().string();
}

} // namespace

CDataGridCtrl::grid_event_callback RowCommands::GridEventCallback()
{
    return [this](const std::uint64_t& row, const std::uint64_t& column, const CDataGridCtrl::grid_event& event,
                  long x, long y, bool& flag, const std::string& text) {
        m_host.run_command([&] { OnGridEvent(row, column, event, x, y, flag, text); });
    };
}

void RowCommands::OnGridEvent(const std::uint64_t& row, const std::uint64_t& column,
                              const CDataGridCtrl::grid_event& event, long x, long y, bool& flag,
                              const std::string& text)
{
    flag = true;
    switch (event) {
    case CDataGridCtrl::cell_double_click:
        m_host.merge_row(row);
        break;
    case CDataGridCtrl::cell_right_button:
        m_host.show_context_menu(x, y);
        break;
    case CDataGridCtrl::refresh:
        m_host.run_comparison();
        break;
    case CDataGridCtrl::sort_failed:
        m_host.command_log().enqueue(text, logger::error);
        break;
    case CDataGridCtrl::column_width_changing:
        StoreColumnWidth(column, x);
        break;
    case CDataGridCtrl::row_deleting:
        DeleteRowFiles(row);
        break;
    case CDataGridCtrl::delete_asked:
        flag = AskDeleteRows();
        break;
    default:
        break;
    }
}

void RowCommands::RunOrOpen(const std::string& side, bool with_dialog)
{
    const std::vector<selected_row> rows = SelectedRows();
    if (rows.empty()) {
        Error("Run/Open: no row/cell selected");
        return;
    }
    for (const selected_row& row : rows) {
        const std::string& file = FileOn(row, side);
        if (!row_file::is_regular_file(file)) {
            Error("Run/Open: selected file does not exist");
            continue;
        }
        const std::string extension = extension_of(file);
        const std::string program = settings_keys::read_open_with(m_host.command_settings(), extension);
        if (!program.empty()) {
            if (with_dialog)
                OpenWith(false, file, program);
            else
                RunExternalCommand(external_command::open_file(program, file));
        } else if (with_dialog) {
            OpenWith(true, file, std::string());
        } else {
            Error("Run/Open: no application associated to the file extension [" + extension + "]");
        }
    }
}

void RowCommands::OpenWith(bool remember, const std::string& file, const std::string& program)
{
    CCommandExecDialog dialog(program, file, remember, m_host.command_window());
    if (dialog.DoModal() != IDOK)
        return;
    const external_command::command command = dialog.command();
    if (dialog.remember()) {
        config::settings& store = m_host.command_settings();
        const std::string extension = extension_of(dialog.input_file());
        // A file without an extension, or one the key grammar can't carry, has no key to go under.
        if (!settings_keys::write_open_with(store, extension, dialog.program()))
            Error("Open with: no association can be stored for the extension '" + extension + "'");
        else if (!store.save())
            Error("Open with: the settings file " + store.file_name() + " could not be saved");
        else
            m_host.command_log() << "Saved: association between extension '" << extension << "' and tool "
                                 << dialog.program() << "\n";
    }
    RunExternalCommand(command);
}

void RowCommands::Compare()
{
    std::string tool;
    if (!m_host.command_settings().get(settings_keys::compare_tool, tool, false) || tool.empty()) {
        Error("Compare: no tool selected");
        return;
    }
    const std::vector<selected_row> rows = SelectedRows();
    if (rows.empty()) {
        Error("Compare: no row/cell selected");
        return;
    }
    external_command::command probe;
    if (!external_command::compare_files(tool, "", "", probe)) {
        Error("Compare: the tool needs two ? placeholders");
        return;
    }
    // Every row starts again from the setting's text.
    for (const selected_row& row : rows) {
        if (row.main_file.empty() || row.backup_file.empty()) {
            Error("Compare: a selected row has no file on one side");
            continue;
        }
        external_command::command command;
        if (external_command::compare_files(tool, row.backup_file, row.main_file, command))
            RunExternalCommand(command);
    }
}

void RowCommands::GoTo(const std::string& side)
{
    const std::vector<selected_row> rows = SelectedRows();
    if (rows.empty()) {
        Error("Go to " + side + ": no row/cell selected");
        return;
    }
    for (const selected_row& row : rows) {
        const std::string& file = FileOn(row, side);
        if (!row_file::exists(file))
            continue;
        const int error_code = platform::show_in_folder(file);
        if (error_code != 0)
            Error("Go to " + side + ": unable to show " + file + " in its folder: error code "
                  + std::to_string(error_code));
    }
}

bool RowCommands::AskDeleteRows()
{
    const std::vector<selected_row> rows = SelectedRows();
    if (rows.empty()) {
        Error("Delete: no row/cell selected");
        return false;
    }
    std::vector<std::string> names;
    for (const selected_row& row : rows)
        names.push_back(row.name);
    const std::string question = std::string(delete_question) + "\n\n" + count_and_names(names, "row", "rows");
    return AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void RowCommands::Delete(const std::string& side)
{
    const std::vector<selected_row> rows = SelectedRows();
    if (rows.empty()) {
        Error("Go to " + side + ": no row/cell selected");
        return;
    }
    // Only what is there is named and deleted; a row missing on this side has nothing to lose.
    std::vector<std::string> files;
    for (const selected_row& row : rows)
        if (row_file::exists(FileOn(row, side)))
            files.push_back(FileOn(row, side));
    const std::string folder = folder_of_side(side);
    if (files.empty()) {
        Error("Delete " + side + ": the selected rows have no file in the " + folder + " folder");
        return;
    }
    const std::string question = "Delete the " + folder + " files of the selected rows?\nThese files are deleted from the "
        + folder + " folder.\n\n" + count_and_names(files, "file", "files");
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (const std::string& file : files) {
        if (!row_file::is_regular_file(file)) {
            Error("Delete " + side + ": " + file + " is not a file");
            continue;
        }
        boost::system::error_code failure;
        if (boost::filesystem::remove(file, failure) && !failure)
            m_host.command_log() << "Deleted file: " << file << "\n";
        else if (failure)
            Error("Delete " + side + ": " + file + ": " + failure.message());
    }
    m_host.run_comparison();
    if (CDataGridCtrl::MultiSelectManager* selection = m_host.command_grid().GetSelectionManager())
        selection->ClearAll();
}

void RowCommands::RunExternalCommand(const external_command::command& command)
{
    m_host.command_log() << "Running " << command.text << "\n";
    // The start's result is known at once; the child is reaped on the launcher's thread and
    // nothing that outlives this call touches the window or the logger.
    const int error_code = platform::launch_process(command.arguments);
    if (error_code != 0)
        Error("Unable to execute command \"" + command.text + "\": error code " + std::to_string(error_code));
}

std::vector<RowCommands::selected_row> RowCommands::SelectedRows()
{
    std::vector<selected_row> rows;
    CDataGridCtrl::MultiSelectManager* selection = m_host.command_grid().GetSelectionManager();
    if (selection == nullptr)
        return rows;
    selection->ForEachSelectedRow([&rows](long index, data::data_row* row) {
        if (row == nullptr)
            return;
        rows.push_back({ index, row_file::path_on(*row, row_file::main_side),
                         row_file::path_on(*row, row_file::backup_side), row_file::name_of(*row) });
    });
    return rows;
}

const std::string& RowCommands::FileOn(const selected_row& row, const std::string& side)
{
    return side == row_file::backup_side ? row.backup_file : row.main_file;
}

void RowCommands::DeleteRowFiles(std::uint64_t row)
{
    data::data_table* table = m_host.command_grid().GetTable();
    // Grid rows count from 0, as the table's row list does.
    if (table == nullptr || row >= table->rows.size() || table->rows[row] == nullptr)
        return;
    const data::data_row& cells = *table->rows[row];
    for (const char* side : { row_file::main_side, row_file::backup_side }) {
        const std::string file = row_file::path_on(cells, side);
        if (!row_file::exists(file))
            continue;
        if (!row_file::is_regular_file(file)) {
            Error("Not deleted: " + file + " is not a file");
            continue;
        }
        boost::system::error_code failure;
        if (boost::filesystem::remove(file, failure) && !failure)
            m_host.command_log() << "Deleted file: " << file << "\n";
        else if (failure)
            Error("Unable to delete file " + file + ": " + failure.message());
    }
}

void RowCommands::StoreColumnWidth(std::uint64_t column, long width)
{
    // The width goes under the resized column's own heading, where the next start reads it.
    std::string heading;
    try {
        heading = m_host.command_grid().GetColumnsInfo().AtPosition(column).caption;
    } catch (const std::exception&) {
        return;
    }
    config::settings& store = m_host.command_settings();
    if (!settings_keys::write_column_width(store, heading, static_cast<int>(width)))
        return;
    if (!store.save())
        Error("Column width: the settings file " + store.file_name() + " could not be saved");
}

void RowCommands::Error(const std::string& text)
{
    m_host.command_log().enqueue(text, logger::error);
}
