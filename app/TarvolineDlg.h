#pragma once
// The main window. It owns every long-lived object of the program (the data grid, the log view,
// the file catalogue, the logger, the settings store and the dialog's controls), builds the
// program's state from the settings file when it opens and stores the window's place and the
// settings when it closes. Every command reaches its handler through one table, and every
// handler runs behind one barrier: an exception becomes one ERROR line in the log and the
// window stays as it was. The command families reach the window through the host interfaces it
// implements: merge_host for the merge, command_host for the others.

#include "app/BaseDialog.h"
#include "app/CommandHost.h"
#include "app/MenuTables.h"
#include "app/DataGridCtrl.h"
#include "app/ExportCommand.h"
#include "app/FileClipboard.h"
#include "app/GridAppearance.h"
#include "app/LogLineQueue.h"
#include "app/MergeCommand.h"
#include "app/RowCommands.h"
#include "app/RowFile.h"
#include "app/ScriptCommands.h"
#include "app/resource_ids.h"

#include "core/config/settings.h"
#include "core/data/data_exporter.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "platform/base/controls.h"
#include "platform/base/dialog_controls.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

dialog_template main_dialog_template();

class CTarvolineDlg : public CBaseDialog, public merge_host, public command_host {
public:
    using command_handler = std::function<void()>;

    // The label the Custom filter dialog shows.
    static constexpr const char* filter_fields_label = "Fields: FILE|BACKUP [_ID, _NAME, _FULLPATH, _SIZE, _TIME]";
    // The system menu's About item, where a system menu exists.
    static constexpr UINT IDM_ABOUTBOX = 16;

    explicit CTarvolineDlg(CWnd* parent = nullptr);
    ~CTarvolineDlg() override;

    // The one table of commands: (id, notification code) to handler. Menu commands and button
    // clicks have the code 0. A command without a handler is shown disabled.
    void SetCommandHandler(UINT id, command_handler handler, UINT code = 0);
    bool HasCommandHandler(UINT id, UINT code = 0) const;
    // Runs fn behind the barrier; false when it threw (the text went to the log as an ERROR).
    bool RunGuarded(const std::function<void()>& fn);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnCommand(WPARAM wparam, LPARAM lparam) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result) override;
    // A notification some controls send with id 0 and code -303 is answered 0 and ignored.
    void OnIgnoredNotify(NMHDR* header, LRESULT* result);
    LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnClose() override;
    // Enter and Escape never end the main window.
    void OnOK() override {}
    void OnCancel() override {}
    void OnContextMenu(CWnd* window, CPoint screen_point) override;
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL system_menu) override;

    // Comparison, paths and filters.
    void OnGo();
    void RunComparison();
    data::data_table* CompareFolders(int mask);
    // Compares and applies `condition` (none when empty); it becomes the condition on show only
    // once the comparison has replaced the rows.
    data::data_table* CompareFoldersWith(const std::string& condition, int mask);
    int DifferenceMask() const;
    std::string GetMainPath() const;
    std::string GetBackupPath() const;
    bool CanCompare() const;
    void OnFilterToggle(UINT id);
    void OnCustomFilter();
    void OnShowDifferences();
    void OnClear();
    void OnMainPathKillFocus();
    void OnBackupPathKillFocus();
    void OnBackupFolderClicked();
    void OnBrowseMainPath();
    void OnBrowseBackupPath();

    // Merging: the Merge menu and a double click on a row.
    void OnMergeRight() { m_merger.OnMergeRight(); }
    void OnMergeLeft() { m_merger.OnMergeLeft(); }
    void OnMergeBoth() { m_merger.OnMergeBoth(); }
    void OnMergeAutomatic() { m_merger.OnMergeAutomatic(); }
    void MergeRow(std::uint64_t row);
    void MergeFile(const boost::filesystem::path& main_file, const boost::filesystem::path& backup_file)
    {
        m_merger.MergeFile(main_file, backup_file);
    }

    // The row commands on the selected rows: the context menu's File and Backup items.
    void OnOpenFile() { m_rowCommands.RunOrOpen(row_file::main_side, false); }
    void OnOpenBackup() { m_rowCommands.RunOrOpen(row_file::backup_side, false); }
    void OnOpenWithFile() { m_rowCommands.RunOrOpen(row_file::main_side, true); }
    void OnOpenWithBackup() { m_rowCommands.RunOrOpen(row_file::backup_side, true); }
    void OnGoToFile() { m_rowCommands.GoTo(row_file::main_side); }
    void OnGoToBackup() { m_rowCommands.GoTo(row_file::backup_side); }
    void OnDeleteFile() { m_rowCommands.Delete(row_file::main_side); }
    void OnDeleteBackup() { m_rowCommands.Delete(row_file::backup_side); }

    // The Clipboard menu.
    void OnClipboardAddMain() { m_fileClipboard.AddMain(); }
    void OnClipboardAddBackup() { m_fileClipboard.AddBackup(); }
    void OnClipboardAddAllMain() { m_fileClipboard.AddAllMain(); }
    void OnClipboardAddAllBackup() { m_fileClipboard.AddAllBackup(); }
    void OnClipboardAddAll() { m_fileClipboard.AddAll(); }
    void OnClipboardShow() { m_fileClipboard.Show(); }
    void OnClipboardDeleteAll() { m_fileClipboard.DeleteAll(); }
    void OnClipboardCopyTo() { m_fileClipboard.CopyTo(); }

    // The log view, the catalogue file, export and statistics.
    void OnSaveLog();
    void OnCopyLog();
    void OnDump();
    void OnLoad();
    void OnExport() { m_export.Run(); }
    void OnShowStatistics();

    // merge_host and command_host
    std::string main_path() const override { return GetMainPath(); }
    std::string backup_path() const override { return GetBackupPath(); }

    // merge_host
    CWnd* merge_window() override { return this; }
    fs::file_archive& merge_archive() override { return m_archive; }
    config::settings& merge_settings() override { return m_settings; }
    bool custom_filter_active() const override { return !m_customFilter.empty(); }
    bool compare_folders() override { return CompareFolders(DifferenceMask()) != nullptr; }
    bool result_roots(merge_roots& roots) const override;
    void log_line(const std::string& line) override { m_logger << line; }
    void log_entry(const std::string& text, logger::level type) override { m_logger.enqueue(text, type); }
    void repaint_grid() override { m_grid.RepaintAllParts(); }

    // command_host
    CWnd* command_window() override { return this; }
    logger& command_log() override { return m_logger; }
    config::settings& command_settings() override { return m_settings; }
    fs::file_archive& command_archive() override { return m_archive; }
    CDataGridCtrl& command_grid() override { return m_grid; }
    std::vector<std::string> log_view_lines() const override;
    CComboBox& scripts_combo() override { return m_scripts; }
    void run_comparison() override { RunComparison(); }
    void merge_row(std::uint64_t row) override { MergeRow(row); }
    void show_context_menu(long x, long y) override
    {
        ShowContextMenu(CPoint(static_cast<int>(x), static_cast<int>(y)));
    }
    // The barrier, then the count: merges, deletions and refusals change the rows in many
    // places, so the count follows whatever the command did, failures included.
    void run_command(const std::function<void()>& fn) override
    {
        RunGuarded(fn);
        UpdateRowsCount();
    }

    // Menus and the remaining window commands.
    // Toggles Mock copy. Named as the item's update handler; the command table runs it, once per
    // choice of the item.
    void OnUpdateMockCopy();
    void OnAbout();
    void OnExit();
    void UpdateRowsCount();

    // The grid's events: a double click merges the row, the rest are the row commands' own. The
    // grid calls the row commands' GridEventCallback, which runs the same behind the barrier.
    void OnGridEvent(const std::uint64_t& row, const std::uint64_t& column, const CDataGridCtrl::grid_event& event,
                     long x, long y, bool& flag, const std::string& text);

    // Read access for the commands that other parts add and for tests.
    CDataGridCtrl& grid() { return m_grid; }
    fs::file_archive& archive() { return m_archive; }
    logger& log() { return m_logger; }
    config::xml_parameters& settings() { return m_settings; }
    CMenu* window_menu() const { return m_menu; }
    CMenu& context_menu() { return m_contextMenu; }
    CListBox& log_view() { return m_logView; }
    FileClipboardWindow& clipboard_window() { return m_fileClipboard.window(); }
    const std::string& custom_filter() const { return m_customFilter; }
    bool mock_copy() const { return m_mockCopy; }
    COLORREF corner_colour();
    bool settings_readable() const { return m_settingsReadable; }
    data::data_exporter* exporter(std::size_t format) const { return m_export.exporter(format); }

    // Where the settings file is; "./settings.xml" unless a test says otherwise.
    void set_settings_file(const std::string& path) { m_settingsFile = path; }

protected:
    HICON m_hIcon = nullptr;
    bool m_filterDifferentTime = true;
    bool m_filterDifferentSize = true;
    bool m_filterMissingMain = true;
    bool m_filterMissingBackup = true;
    bool m_mockCopy = false;
    std::string m_customFilter;
    CMenu* m_menu = nullptr;
    CMenu m_contextMenu;
    CDataGridCtrl m_grid;
    CStatusBar m_statusBar;
    CListBox m_logView;
    fs::file_archive m_archive;
    logger m_logger;
    config::xml_parameters m_settings;
    bool m_confirmClose = true;
    CMFCButton m_goButton;
    CEdit m_backupPath;
    CEdit m_mainPath;
    CComboBox m_scripts;
    CButton m_backupFolder;
    CStatic m_rowsCount;

private:
    void RegisterCommands();
    void InitialiseLogging();
    void CheckVersion();
    void OpenCatalogue();
    void LoadScripts();
    void RestorePaths();
    void AttachGrid();
    void RestorePlacement();
    void ShowLogLines();
    void ShowContextMenu(CPoint screen_point);
    void SetCorner(COLORREF colour);
    // The corner and the "Custom filter" check say what the rows on show are.
    void ShowFilterState();
    void StoreMainPath(const std::string& path);
    // The catalogue's root follows the main path only to a folder that exists.
    bool SetMainRoot(const std::string& path);
    void StoreBackupPath(const std::string& path);
    void ApplyFilteredRows(data::data_table* filtered);
    void BrowseInto(CEdit& field, const char* title, bool main_side);
    bool SaveSettings();

    std::map<std::pair<UINT, UINT>, command_handler> m_commands;
    std::function<void(const std::string&)> m_previousFailureReporter;
    GridAppearance m_appearance { m_grid, m_settings };
    LogLineQueue m_logLines;
    std::string m_settingsFile = "./settings.xml";
    // The main path text the catalogue's root was last set from.
    std::string m_rootText;
    // The backup path text last stored or read from the settings.
    std::string m_backupText;
    bool m_settingsReadable = true;
    bool m_initialised = false;
    // The roots the result table was built from; a merge of a table built for other roots, or by
    // a comparison that failed, is refused.
    merge_roots m_tableRoots;
    bool m_tableRootsValid = false;
    // The command families; none calls its host until a command runs.
    merge_command m_merger { *this };
    RowCommands m_rowCommands { *this };
    FileClipboard m_fileClipboard { *this };
    ExportCommand m_export { *this };
    ScriptCommands m_scriptCommands { *this };
};
