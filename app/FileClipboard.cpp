#include "app/FileClipboard.h"

#include "app/DataGridCtrl.h"
#include "app/FolderDialog.h"
#include "app/RowFile.h"

#include "core/data/data_table.h"
#include "core/fs/file_archive.h"
#include "core/fs/file_content.h"
#include "core/logger.h"
#include "core/utils/file_names.h"
#include "platform/base/shell_dialogs.h"

#include <boost/filesystem.hpp>

#include <cerrno>
#include <cstdint>
#include <exception>
#include <vector>

#include <sys/stat.h>

namespace {

// The folder picker of the path fields: an empty text when nothing was chosen.
std::string choose_folder(CWnd* owner, const char* title)
{
    CFolderDialog picker(title, nullptr, owner);
    return picker.DoModal() == IDOK ? picker.GetFolderPath() : std::string();
}

} // namespace

void FileClipboard::AddToClipboard(const std::string& file)
{
    if (!row_file::is_regular_file(file))
        return;
    const boost::filesystem::path path(file);
    m_window.AddItem(path.string(), path);
    m_host.command_log() << "Added " << path.string() << " to clipboard\n";
}

void FileClipboard::AddMain()
{
    AddSelected(row_file::main_side, "Go to file: no row/cell selected");
}

void FileClipboard::AddBackup()
{
    AddSelected(row_file::backup_side, "Add to clipboard: no row/cell selected");
}

void FileClipboard::AddAllMain()
{
    AddEveryRow(true, false);
}

void FileClipboard::AddAllBackup()
{
    AddEveryRow(false, true);
}

void FileClipboard::AddAll()
{
    AddEveryRow(true, true);
}

void FileClipboard::Show()
{
    m_window.ShowWindow(SW_SHOW);
}

void FileClipboard::DeleteAll()
{
    for (int count = m_window.m_list.GetCount(); count > 0; --count)
        m_window.m_list.RemoveItem(0);
}

void FileClipboard::CopyTo()
{
    const std::string folder = choose_folder(m_host.command_window(), "Copy to...");
    if (!folder.empty())
        CopyInto(folder);
}

void FileClipboard::CopyInto(const std::string& folder)
{
    // A copy of the entries: nothing below may change the list, but the map is the window's.
    const auto entries = m_window.m_list.items();
    logger& log = m_host.command_log();
    for (const auto& entry : entries) {
        const boost::filesystem::path& source = entry.second;
        struct ::stat info;
        if (::stat(source.c_str(), &info) != 0) {
            log.enqueue("Copy to: " + source.string() + ": " + fs::system_message(errno), logger::error);
            continue;
        }
        std::string error;
        try {
            const boost::filesystem::path target = utils::make_copy_name(boost::filesystem::path(folder) / source.filename());
            fs::copy_counts counters;
            if (!m_host.command_archive().copy_entry(source, target, &counters, error)) {
                log.enqueue(error, logger::error);
                continue;
            }
        } catch (const std::exception& failure) {
            log.enqueue("Copy to: " + source.string() + ": " + failure.what(), logger::error);
            continue;
        }
        log << "Copying " << source.string() << " to " << folder << "\n";
    }
}

void FileClipboard::AddSelected(const std::string& side, const std::string& no_selection_error)
{
    std::vector<std::string> files;
    bool selected = false;
    if (CDataGridCtrl::MultiSelectManager* selection = m_host.command_grid().GetSelectionManager())
        selection->ForEachSelectedRow([&](long, data::data_row* row) {
            selected = true;
            if (row != nullptr)
                files.push_back(row_file::path_on(*row, side));
        });
    if (!selected) {
        m_host.command_log().enqueue(no_selection_error, logger::error);
        return;
    }
    for (const std::string& file : files)
        AddToClipboard(file);
}

void FileClipboard::AddEveryRow(bool main_side, bool backup_side)
{
    data::data_table* table = m_host.command_archive().result.get();
    if (table == nullptr)
        return;
    std::vector<std::string> files;
    for (const data::data_row* row : table->rows) {
        if (row == nullptr)
            continue;
        if (main_side)
            files.push_back(row_file::path_on(*row, row_file::main_side));
        if (backup_side)
            files.push_back(row_file::path_on(*row, row_file::backup_side));
    }
    for (const std::string& file : files)
        AddToClipboard(file);
}
