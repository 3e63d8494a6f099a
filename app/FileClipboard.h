#pragma once
// The file clipboard commands: collect files of the result rows (selected rows or all of them,
// either side) into the clipboard window's list, show or empty it, and copy every listed file
// into one chosen folder under a free name.
//
// Seam with the main window: the window owns the clipboard window and one FileClipboard over it,
// the catalogue, the logger and the grid, and calls one member per Clipboard menu command.

#include "app/DataGridCtrl.h"
#include "app/ItemListDialog.h"

#include <boost/filesystem/path.hpp>

#include <string>

class CWnd;
class logger;

namespace fs {
class file_archive;
}

using FileClipboardWindow = CItemListDialog<boost::filesystem::path>;

class FileClipboard {
public:
    FileClipboard(FileClipboardWindow& window, fs::file_archive& catalogue, logger& log, CDataGridCtrl& grid)
        : m_window(window), m_catalogue(catalogue), m_log(log), m_grid(grid)
    {
    }

    // Regular files only; anything else is passed over silently.
    void AddToClipboard(const std::string& file);
    void AddMain();
    void AddBackup();
    void AddAllMain();
    void AddAllBackup();
    void AddAll();
    void Show();
    void DeleteAll();
    // Asks for the folder ("Copy to..."); the clipboard keeps its entries.
    void CopyTo(CWnd* owner);
    // The copying itself, into a folder already chosen.
    void CopyInto(const std::string& folder);

private:
    void AddSelected(const std::string& side, const std::string& no_selection_error);
    void AddEveryRow(bool main_side, bool backup_side);

    FileClipboardWindow& m_window;
    fs::file_archive& m_catalogue;
    logger& m_log;
    CDataGridCtrl& m_grid;
};
