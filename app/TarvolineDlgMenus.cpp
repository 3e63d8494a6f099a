// Menus of the main window: the enabling rules of a pop-up, the context menu, Mock copy, About,
// the rows-count line and the grid's events.

#include "app/TarvolineDlg.h"

#include "app/AboutDlg.h"

#include "core/data/data_table.h"
#include "core/utils/string_utils.h"

#include <set>

namespace {

// Present (0 or more bytes) when the cell holds a size; an empty cell is a missing file.
bool size_present(const data::data_row& row, const char* key)
{
    const std::string text = row.get<std::string>(std::string(key));
    if (text.empty())
        return false;
    // Read as 64 bits: a file over 2 GiB is present too.
    return utils::string_utils::to_int64(text.c_str(), text.size()) >= 0;
}

const std::set<UINT>& backup_side_commands()
{
    static const std::set<UINT> ids = {ID_CLIPBOARD_ADD_BACKUP, ID_CLIPBOARD_ADD_ALL_BACKUP, ID_OPEN_BACKUP,
                                       ID_OPEN_WITH_BACKUP,     ID_GO_TO_BACKUP,             ID_DELETE_BACKUP};
    return ids;
}

const std::set<UINT>& main_side_commands()
{
    static const std::set<UINT> ids = {ID_CLIPBOARD_ADD_MAIN, ID_CLIPBOARD_ADD_ALL_MAIN, ID_OPEN_FILE,
                                       ID_OPEN_WITH_FILE,     ID_GO_TO_FILE,             ID_DELETE_FILE};
    return ids;
}

}  // namespace

void CTarvolineDlg::OnInitMenuPopup(CMenu* popup, UINT index, BOOL system_menu)
{
    CBaseDialog::OnInitMenuPopup(popup, index, system_menu);
    if (popup == nullptr)
        return;
    // A command nobody handles yet can't be chosen.
    for (UINT id : commands_of(*popup))
        popup->EnableMenuItem(id, HasCommandHandler(id) ? MF_ENABLED : MF_GRAYED);

    int left = 0, top = -1, right = 0, bottom = 0;
    if (m_grid.GetSelectionManager()->GetNewestBlock(&left, &top, &right, &bottom) != 0 || top < 0)
        return;
    bool main_present = false;
    bool backup_present = false;
    const data::data_table* table = m_grid.GetTable();
    if (table != nullptr && static_cast<std::size_t>(top) < table->rows.size()) {
        const data::data_row& row = *table->rows[static_cast<std::size_t>(top)];
        main_present = size_present(row, "file_size");
        backup_present = size_present(row, "backup_size");
    }
    const bool backup_usable = m_backupFolder.SendMessage(BM_GETCHECK) == BST_CHECKED && backup_present;
    auto enable = [&](UINT id, bool on) {
        if (HasCommandHandler(id))
            popup->EnableMenuItem(id, on ? MF_ENABLED : MF_DISABLED | MF_GRAYED);
    };
    enable(ID_COMPARE, main_present && backup_usable);
    for (UINT id : backup_side_commands())
        enable(id, backup_usable);
    for (UINT id : main_side_commands())
        enable(id, main_present);
}

void CTarvolineDlg::ShowContextMenu(CPoint screen_point)
{
    if (CMenu* popup = m_contextMenu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen_point.x, screen_point.y, this);
}

void CTarvolineDlg::OnContextMenu(CWnd* window, CPoint screen_point)
{
    // The grid shows the menu from its own right-button event; once is enough.
    if (window != nullptr && m_grid.GetSafeHwnd() != nullptr && (window == &m_grid || m_grid.IsChild(window)))
        return;
    ShowContextMenu(screen_point);
}

void CTarvolineDlg::OnUpdateMockCopy()
{
    // Toggled by the command itself, once per choice.
    m_mockCopy = !m_mockCopy;
    if (m_menu != nullptr)
        m_menu->CheckMenuItem(ID_MOCK_COPY, m_mockCopy ? MF_CHECKED : MF_UNCHECKED);
    ShowFilterState();
    m_logger << (m_mockCopy ? "MOCK COPY enabled\n" : "MOCK COPY disabled\n");
    m_archive.mock_copy = m_mockCopy;
    m_archive.on_mock_action = nullptr;
}

void CTarvolineDlg::OnAbout()
{
    CAboutDlg about(this);
    about.DoModal();
}

void CTarvolineDlg::UpdateRowsCount()
{
    if (m_rowsCount.GetSafeHwnd() == nullptr)
        return;
    m_rowsCount.SetWindowText(("Rows count: " + std::to_string(m_grid.GetRowCount())).c_str());
}

void CTarvolineDlg::OnGridEvent(const std::uint64_t& row, const std::uint64_t& column,
                                const CDataGridCtrl::grid_event& event, long x, long y, bool& flag,
                                const std::string& text)
{
    // The row commands answer every event; the window's own operations (comparison, merging a
    // row, the context menu) reach them through the window as their host.
    m_rowCommands.OnGridEvent(row, column, event, x, y, flag, text);
    // A double click merges a row away, the Delete key removes rows.
    UpdateRowsCount();
}
