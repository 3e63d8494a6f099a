#pragma once
// The file clipboard commands: collect files of the result rows (selected rows or all of them,
// either side) into the clipboard window's list, show or empty it, and copy every listed file
// into one chosen folder under a free name.
//
// Seam with the main window: the window is the command_host of one FileClipboard, which owns
// the clipboard window, and calls one member per Clipboard menu command.

#include "app/CommandHost.h"
#include "app/ItemListDialog.h"

#include <boost/filesystem/path.hpp>

#include <string>

using FileClipboardWindow = CItemListDialog<boost::filesystem::path>;

class FileClipboard {
public:
    explicit FileClipboard(command_host& host) : m_host(host) {}
    FileClipboard(const FileClipboard&) = delete;
    FileClipboard& operator=(const FileClipboard&) = delete;

    FileClipboardWindow& window() { return m_window; }

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
    void CopyTo();
    // The copying itself, into a folder already chosen.
    void CopyInto(const std::string& folder);

private:
    void AddSelected(const std::string& side, const std::string& no_selection_error);
    void AddEveryRow(bool main_side, bool backup_side);

    command_host& m_host;
    // Built hidden; Show makes it visible, closing hides it again.
    FileClipboardWindow m_window { "File clipboard", "File list" };
};
