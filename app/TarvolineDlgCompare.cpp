// The commands that produce the list of differences: Go, the filters, Show differences, Clear,
// the two path fields and their folder pickers.

#include "app/TarvolineDlg.h"

#include "app/FilterDialog.h"
#include "app/FolderDialog.h"
#include "app/settings_keys.h"

#include "core/data/data_table.h"

#include <boost/filesystem.hpp>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace keys = settings_keys;

namespace {

using steady = std::chrono::steady_clock;

long long milliseconds_since(steady::time_point start)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(steady::now() - start).count() / 1000000;
}

std::string text_of(const CWnd& window)
{
    CString text;
    window.GetWindowText(text);
    return text.GetString();
}

// A main folder that isn't there is never created: the user hears why it can't be used.
bool usable_main_folder(const std::string& path, logger& log)
{
    boost::system::error_code failed;
    if (boost::filesystem::is_directory(path, failed) && !failed)
        return true;
    log.enqueue("Main folder " + path + " does not exist", logger::error);
    return false;
}

}  // namespace

int CTarvolineDlg::DifferenceMask() const
{
    return (m_filterMissingMain ? 1 : 0) | (m_filterMissingBackup ? 2 : 0) | (m_filterDifferentSize ? 4 : 0) |
           (m_filterDifferentTime ? 8 : 0);
}

std::string CTarvolineDlg::GetMainPath() const { return text_of(m_mainPath); }

std::string CTarvolineDlg::GetBackupPath() const
{
    return m_backupFolder.GetCheck() == BST_CHECKED ? text_of(m_backupPath) : std::string();
}

bool CTarvolineDlg::CanCompare() const { return !text_of(m_mainPath).empty() && !text_of(m_backupPath).empty(); }

void CTarvolineDlg::SetCorner(COLORREF colour)
{
    m_grid.SetCellBackColorAt(-1, -1, colour);
    m_grid.RepaintAllParts();
}

COLORREF CTarvolineDlg::corner_colour()
{
    CUGCell corner;
    m_grid.GetCell(-1, -1, &corner);
    return corner.GetBackColor();
}

void CTarvolineDlg::ShowFilterState()
{
    m_contextMenu.CheckMenuItem(ID_CUSTOM_FILTER, m_customFilter.empty() ? MF_UNCHECKED : MF_CHECKED);
    // Mock copy's colour wins: a merge that copies nothing must never look like a real one. It
    // is read at each use, since Tool options may have changed it.
    SetCorner(m_mockCopy                ? m_appearance.MockCopyColour()
              : m_customFilter.empty() ? m_grid.GetCaptionColor()
                                       : m_grid.GetFilteredColor());
}

void CTarvolineDlg::OnGo() { RunComparison(); }

void CTarvolineDlg::RunComparison()
{
    // Mock copy keeps the condition: the mocked merge is tried on the rows the user filtered.
    CompareFoldersWith(m_mockCopy ? m_customFilter : std::string(), DifferenceMask());
}

data::data_table* CTarvolineDlg::CompareFolders(int mask) { return CompareFoldersWith(m_customFilter, mask); }

data::data_table* CTarvolineDlg::CompareFoldersWith(const std::string& condition, int mask)
{
    // Until this comparison has worked, the rows stand for no roots a merge may write into.
    m_tableRootsValid = false;
    const std::string main_path = GetMainPath();
    // Recording an empty root would walk "/" or the working folder.
    if (main_path.empty()) {
        m_logger.enqueue("Main path is empty", logger::error);
        return nullptr;
    }
    // The catalogue would create a missing main folder, and an empty tree would list every
    // backup file as missing in main.
    if (!usable_main_folder(main_path, m_logger)) {
        UpdateRowsCount();
        return nullptr;
    }
    // A path typed and compared with F5 before the focus left its field is the one meant, and
    // is stored as on leaving the field.
    if (m_rootText != main_path)
        StoreMainPath(main_path);
    const std::string backup_path = GetBackupPath();
    if (m_backupFolder.GetCheck() == BST_CHECKED && m_backupText != backup_path)
        StoreBackupPath(backup_path);
    const auto start = steady::now();
    std::string error;
    data::data_table* table = m_archive.result.get();
    if (!m_archive.record_folders(backup_path, table, error, static_cast<std::uint32_t>(mask))) {
        m_logger.enqueue(error, logger::error);
        // A refused comparison may have emptied the rows.
        UpdateRowsCount();
        return nullptr;
    }
    m_tableRoots = {main_path, backup_path};
    m_tableRootsValid = true;
    // Rows selected before must not stay selected over other files.
    m_grid.GetSelectionManager()->ClearAll();
    // The rows are new: the condition on show is now the one asked for, or none when it fails.
    m_customFilter = condition;
    if (!m_customFilter.empty()) {
        std::unique_ptr<data::data_table> filtered;
        if (m_archive.run_diff_script(m_customFilter, filtered, static_cast<std::uint32_t>(mask), error)) {
            ApplyFilteredRows(filtered.get());
        } else {
            m_logger.enqueue(error, logger::error);
            m_customFilter.clear();
        }
    }
    ShowFilterState();
    m_logger << m_archive.result->rows.size() << " difference(s) retrieved in " << milliseconds_since(start)
             << " millseconds\n";
    m_grid.RepaintAllParts();
    UpdateRowsCount();
    return m_archive.result.get();
}

bool CTarvolineDlg::result_roots(merge_roots& roots) const
{
    // A custom filter reads the trees the last comparison recorded: its rows keep those roots.
    roots = m_tableRoots;
    return m_tableRootsValid;
}

void CTarvolineDlg::MergeRow(std::uint64_t row)
{
    m_merger.MergeRow(static_cast<long>(row));
    UpdateRowsCount();
}

void CTarvolineDlg::ApplyFilteredRows(data::data_table* filtered)
{
    m_grid.GetSelectionManager()->ClearAll();
    m_archive.show_records(*filtered);
}

void CTarvolineDlg::OnFilterToggle(UINT id)
{
    // Flipped here, once per choice: update handlers run many times.
    bool* flag = id == ID_FILTER_DIFFERENT_TIME  ? &m_filterDifferentTime
                 : id == ID_FILTER_DIFFERENT_SIZE ? &m_filterDifferentSize
                 : id == ID_FILTER_MISSING_MAIN   ? &m_filterMissingMain
                                                  : &m_filterMissingBackup;
    *flag = !*flag;
    m_contextMenu.CheckMenuItem(id, *flag ? MF_CHECKED : MF_UNCHECKED);
    CompareFolders(DifferenceMask());
}

void CTarvolineDlg::OnCustomFilter()
{
    CFilterDialog dialog(this);
    dialog.set_condition(m_customFilter);
    dialog.set_label(filter_fields_label);
    const INT_PTR answer = dialog.DoModal();
    if (answer != IDOK)
        return;
    const std::string condition = dialog.condition();
    const int mask = DifferenceMask();
    if (condition.empty()) {
        CompareFoldersWith(condition, mask);
        return;
    }
    const auto start = steady::now();
    std::unique_ptr<data::data_table> filtered;
    std::string error;
    if (!m_archive.run_diff_script(condition, filtered, static_cast<std::uint32_t>(mask), error)) {
        // Nothing changed on show: the rows, the corner and the check stay as they were.
        m_logger.enqueue(error, logger::error);
        return;
    }
    m_customFilter = condition;
    ShowFilterState();
    ApplyFilteredRows(filtered.get());
    m_logger << m_grid.GetRowCount() << " difference(s) fileterd in " << milliseconds_since(start) << " millseconds\n";
    UpdateRowsCount();
}

void CTarvolineDlg::OnShowDifferences() { CompareFolders(DifferenceMask()); }

void CTarvolineDlg::OnClear()
{
    m_grid.GetSelectionManager()->ClearAll();
    m_archive.result->clear();
    UpdateRowsCount();
}

void CTarvolineDlg::StoreMainPath(const std::string& path)
{
    keys::write_text(m_settings, keys::main_path, path);
    m_logger << "Main path set to " << path << "\n";
    SetMainRoot(path);
}

bool CTarvolineDlg::SetMainRoot(const std::string& path)
{
    // A typing slip (a trailing blank, a wrong parent) must not leave new folders behind: the
    // catalogue's root stays where it was and Go refuses until the folder is there.
    if (!path.empty() && !usable_main_folder(path, m_logger))
        return false;
    m_archive.set_root(path);
    m_rootText = path;
    return true;
}

void CTarvolineDlg::StoreBackupPath(const std::string& path)
{
    keys::write_text(m_settings, keys::backup_path, path);
    m_logger << "Backup path set to " << path << "\n";
    m_backupText = path;
}

void CTarvolineDlg::OnMainPathKillFocus() { StoreMainPath(text_of(m_mainPath)); }

void CTarvolineDlg::OnBackupPathKillFocus() { StoreBackupPath(text_of(m_backupPath)); }

void CTarvolineDlg::OnBackupFolderClicked()
{
    const BOOL use_backup = m_backupFolder.SendMessage(BM_GETCHECK) == BST_CHECKED;
    m_backupPath.EnableWindow(use_backup);
    if (CWnd* browse = GetDlgItem(IDC_BROWSE_BACKUP))
        browse->EnableWindow(use_backup);
}

void CTarvolineDlg::BrowseInto(CEdit& field, const char* title, bool main_side)
{
    std::string initial = text_of(field);
    if (initial.empty()) {
        const char* home = std::getenv("HOME");
        initial = home != nullptr ? home : "";
    }
    CFolderDialog picker(title, initial.c_str(), this);
    if (picker.DoModal() == IDOK) {
        field.SetWindowText(picker.GetFolderPath().c_str());
        if (main_side)
            StoreMainPath(picker.GetFolderPath());
        else
            StoreBackupPath(picker.GetFolderPath());
    }
    m_goButton.EnableWindow(CanCompare());
}

void CTarvolineDlg::OnBrowseMainPath() { BrowseInto(m_mainPath, "Main path", true); }

void CTarvolineDlg::OnBrowseBackupPath() { BrowseInto(m_backupPath, "Backup path", false); }
