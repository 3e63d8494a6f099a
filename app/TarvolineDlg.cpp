#include "app/TarvolineDlg.h"

#include "app/AboutDlg.h"
#include "app/CatalogueFileCommands.h"
#include "app/LogCommands.h"
#include "app/PropertyDlg.h"
#include "app/StatisticsCommand.h"
#include "app/settings_keys.h"

#include "core/utils/version.h"
#include "core/utils/version_info.h"
#include "platform/base/icons.h"
#include "platform/base/modal.h"
#include "platform/base/process_launcher.h"
#include "platform/base/system_services.h"
#include "platform/base/virtual_keys.h"

#include <boost/filesystem.hpp>

#include <ctime>
#include <exception>
#include <iostream>

namespace keys = settings_keys;

namespace {

constexpr DWORD status_bar_style = 0x50008200;

// The log file of the day: LogPath is a folder (empty for the working folder).
std::string log_file_name(const std::string& folder)
{
    std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char date[16] = {};
    std::strftime(date, sizeof(date), "%Y%m%d", &local);
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + "Tarvoline_" + date + ".log";
}

}  // namespace

dialog_template main_dialog_template()
{
    dialog_template table;
    table.id = IDD_TARVOLINE_DIALOG;
    table.caption = "Tarvoline";
    table.width = 321;
    table.height = 232;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | DS_SETFONT;
    table.menu_id = IDR_MAIN_MENU;
    using kind = dialog_control_kind;
    auto id = [](int control) { return static_cast<UINT>(control); };
    table.controls = {
        {id(IDC_MAIN_LABEL), kind::static_text, "Main folder", 2, 5, 60, 8},
        {id(IDC_BACKUP_FOLDER), kind::check_box, "Backup folder", 2, 20, 60, 10},
        {id(IDC_MAIN_PATH), kind::edit, "", 65, 3, 234, 14},
        {id(IDC_BACKUP_PATH), kind::edit, "", 65, 19, 234, 14},
        {id(IDC_BROWSE_MAIN), kind::push_button, "...", 302, 3, 15, 14},
        {id(IDC_BROWSE_BACKUP), kind::push_button, "...", 302, 19, 15, 14},
        {id(IDC_SCRIPTS), kind::combo_box, "", 154, 35, 134, 46},
        {id(IDC_GO), kind::push_button, "Go", 289, 35, 28, 14},
        {id(IDC_GRID_PLACE), kind::custom, "", 2, 52, 317, 110},
        {id(IDC_ROWS_COUNT), kind::static_text, "", 2, 166, 317, 8},
        // Not sorted: the log keeps the order the logger delivered its lines in.
        {id(IDC_LOG_VIEW), kind::list_box, "", 2, 176, 317, 53, LBS_NOINTEGRALHEIGHT},
    };
    return table;
}

CTarvolineDlg::CTarvolineDlg(CWnd* parent) : CBaseDialog(IDD_TARVOLINE_DIALOG, parent)
{
    m_size_grip_wanted = true;
    if (!platform::find_dialog_template(IDD_TARVOLINE_DIALOG))
        platform::register_dialog_template(main_dialog_template());
    register_main_window_menus();
    register_application_icon();
    m_hIcon = LoadIcon(IDR_MAINFRAME);
    RegisterCommands();
    // Desktop services that fail after their call has returned (a folder nothing could show).
    m_previousFailureReporter =
        platform::set_failure_reporter([this](const std::string& text) { m_logger.enqueue(text, logger::error); });
}

CTarvolineDlg::~CTarvolineDlg()
{
    // No line may reach a window that is going.
    platform::set_failure_reporter(std::move(m_previousFailureReporter));
    m_logger.set_line_sink(nullptr);
    // The catalogue owns the grid's table and goes before the grid: the grid lets go of it first.
    m_grid.BindTable(nullptr);
    DestroyWindow();
}

// ---- commands

void CTarvolineDlg::SetCommandHandler(UINT id, command_handler handler, UINT code)
{
    if (handler)
        m_commands[{id, code}] = std::move(handler);
    else
        m_commands.erase({id, code});
}

bool CTarvolineDlg::HasCommandHandler(UINT id, UINT code) const { return m_commands.count({id, code}) != 0; }

bool CTarvolineDlg::RunGuarded(const std::function<void()>& fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception& failure) {
        m_logger.enqueue(failure.what(), logger::error);
    } catch (...) {
        m_logger.enqueue("Unknown error", logger::error);
    }
    return false;
}

void CTarvolineDlg::RegisterCommands()
{
    // Menu commands and button clicks with a handler of their own.
    static const std::pair<UINT, void (CTarvolineDlg::*)()> named_handlers[] = {
        {IDC_GO, &CTarvolineDlg::OnGo},
        {IDC_BROWSE_MAIN, &CTarvolineDlg::OnBrowseMainPath},
        {IDC_BROWSE_BACKUP, &CTarvolineDlg::OnBrowseBackupPath},
        {IDC_BACKUP_FOLDER, &CTarvolineDlg::OnBackupFolderClicked},
        {ID_CUSTOM_FILTER, &CTarvolineDlg::OnCustomFilter},
        {ID_SHOW_DIFFERENCES, &CTarvolineDlg::OnShowDifferences},
        {ID_CLEAR, &CTarvolineDlg::OnClear},
        {ID_MOCK_COPY, &CTarvolineDlg::OnUpdateMockCopy},
        {ID_HELP_ABOUT, &CTarvolineDlg::OnAbout},
        {ID_FILE_EXIT, &CTarvolineDlg::OnExit},
        {ID_MERGE_RIGHT, &CTarvolineDlg::OnMergeRight},
        {ID_MERGE_LEFT, &CTarvolineDlg::OnMergeLeft},
        {ID_MERGE_BOTH, &CTarvolineDlg::OnMergeBoth},
        {ID_MERGE_AUTOMATIC, &CTarvolineDlg::OnMergeAutomatic},
        {ID_OPEN_FILE, &CTarvolineDlg::OnOpenFile},
        {ID_OPEN_BACKUP, &CTarvolineDlg::OnOpenBackup},
        {ID_OPEN_WITH_FILE, &CTarvolineDlg::OnOpenWithFile},
        {ID_OPEN_WITH_BACKUP, &CTarvolineDlg::OnOpenWithBackup},
        {ID_GO_TO_FILE, &CTarvolineDlg::OnGoToFile},
        {ID_GO_TO_BACKUP, &CTarvolineDlg::OnGoToBackup},
        {ID_DELETE_FILE, &CTarvolineDlg::OnDeleteFile},
        {ID_DELETE_BACKUP, &CTarvolineDlg::OnDeleteBackup},
        {ID_CLIPBOARD_ADD_MAIN, &CTarvolineDlg::OnClipboardAddMain},
        {ID_CLIPBOARD_ADD_BACKUP, &CTarvolineDlg::OnClipboardAddBackup},
        {ID_CLIPBOARD_ADD_ALL_MAIN, &CTarvolineDlg::OnClipboardAddAllMain},
        {ID_CLIPBOARD_ADD_ALL_BACKUP, &CTarvolineDlg::OnClipboardAddAllBackup},
        {ID_CLIPBOARD_ADD_ALL, &CTarvolineDlg::OnClipboardAddAll},
        {ID_CLIPBOARD_SHOW, &CTarvolineDlg::OnClipboardShow},
        {ID_CLIPBOARD_DELETE_ALL, &CTarvolineDlg::OnClipboardDeleteAll},
        {ID_CLIPBOARD_COPY_TO, &CTarvolineDlg::OnClipboardCopyTo},
        {ID_SAVE_LOG, &CTarvolineDlg::OnSaveLog},
        {ID_COPY_LOG, &CTarvolineDlg::OnCopyLog},
        {ID_DUMP, &CTarvolineDlg::OnDump},
        {ID_LOAD, &CTarvolineDlg::OnLoad},
        {ID_EXPORT, &CTarvolineDlg::OnExport},
        {ID_SHOW_STATISTICS, &CTarvolineDlg::OnShowStatistics},
    };
    for (const auto& entry : named_handlers) {
        const auto handler = entry.second;
        SetCommandHandler(entry.first, [this, handler] { (this->*handler)(); });
    }
    SetCommandHandler(IDC_MAIN_PATH, [this] { OnMainPathKillFocus(); }, EN_KILLFOCUS);
    SetCommandHandler(IDC_BACKUP_PATH, [this] { OnBackupPathKillFocus(); }, EN_KILLFOCUS);
    // Paths may be typed: Go follows the fields as they change.
    SetCommandHandler(IDC_MAIN_PATH, [this] { m_goButton.EnableWindow(CanCompare()); }, EN_CHANGE);
    SetCommandHandler(IDC_BACKUP_PATH, [this] { m_goButton.EnableWindow(CanCompare()); }, EN_CHANGE);
    for (UINT id : {ID_FILTER_DIFFERENT_TIME, ID_FILTER_DIFFERENT_SIZE, ID_FILTER_MISSING_MAIN, ID_FILTER_MISSING_BACKUP})
        SetCommandHandler(id, [this, id] { OnFilterToggle(id); });
    SetCommandHandler(ID_COMPARE, [this] { m_rowCommands.Compare(); });
    SetCommandHandler(ID_QUERY, [this] { m_scriptCommands.Query(); });
    SetCommandHandler(IDC_SCRIPTS, [this] { m_scriptCommands.SelectDiffScript(); }, CBN_SELCHANGE);
    SetCommandHandler(ID_TOOL_OPTIONS,
                      [this] { run_tool_options(this, m_settings, m_logger, [this] { return SaveSettings(); }); });
}

BOOL CTarvolineDlg::OnCommand(WPARAM wparam, LPARAM lparam)
{
    const UINT id = LOWORD(wparam);
    const UINT code = HIWORD(wparam);
    const auto found = m_commands.find({id, code});
    if (found != m_commands.end()) {
        // A handler may replace itself in the table while it runs.
        const command_handler handler = found->second;
        run_command(handler);
        return TRUE;
    }
    if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED)
        return TRUE;
    return CBaseDialog::OnCommand(wparam, lparam);
}

BOOL CTarvolineDlg::PreTranslateMessage(MSG* message)
{
    if (message == nullptr)
        return FALSE;
    const UINT key = static_cast<UINT>(message->wParam);
    if (message->message == WM_KEYDOWN) {
        if (key == VK_F5) {
            RunGuarded([this] { RunComparison(); });
            return TRUE;
        }
        // Tab and Shift+Tab go through the controls in the window's order, out of the grid's
        // cells too, which ask for every key; Ctrl+Tab stays with the control.
        if (key == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
            CWnd* focus = message->hwnd != nullptr && IsChild(message->hwnd) ? message->hwnd : nullptr;
            if (CWnd* next = next_tab_stop(focus, GetKeyState(VK_SHIFT) < 0))
                next->SetFocus();
            return TRUE;
        }
        // Enter and Escape do nothing here; every other key reaches the focused control.
        return key == VK_RETURN || key == VK_ESCAPE;
    }
    // The grid would run the comparison a second time on the release.
    if (message->message == WM_KEYUP && key == VK_F5)
        return TRUE;
    if (message->message == WM_LBUTTONDBLCLK) {
        if (message->hwnd == m_mainPath.GetSafeHwnd()) {
            RunGuarded([this] { OnBrowseMainPath(); });
            return TRUE;
        }
        if (message->hwnd == m_backupPath.GetSafeHwnd()) {
            RunGuarded([this] { OnBrowseBackupPath(); });
            return TRUE;
        }
    }
    return CBaseDialog::PreTranslateMessage(message);
}

LRESULT CTarvolineDlg::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == IDM_ABOUTBOX) {
        RunGuarded([this] { OnAbout(); });
        return 0;
    }
    return CBaseDialog::WindowProc(message, wparam, lparam);
}

BOOL CTarvolineDlg::OnNotify(WPARAM wparam, LPARAM lparam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header != nullptr && header->idFrom == 0 && header->code == static_cast<UINT>(-303)) {
        OnIgnoredNotify(header, result);
        return TRUE;
    }
    return CBaseDialog::OnNotify(wparam, lparam, result);
}

void CTarvolineDlg::OnIgnoredNotify(NMHDR*, LRESULT* result)
{
    if (result != nullptr)
        *result = 0;
}

void CTarvolineDlg::DoDataExchange(CDataExchange* exchange)
{
    CBaseDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_LOG_VIEW, m_logView);
    DDX_Control(exchange, IDC_GO, m_goButton);
    DDX_Control(exchange, IDC_BACKUP_PATH, m_backupPath);
    DDX_Control(exchange, IDC_MAIN_PATH, m_mainPath);
    DDX_Control(exchange, IDC_SCRIPTS, m_scripts);
    DDX_Control(exchange, IDC_BACKUP_FOLDER, m_backupFolder);
    DDX_Control(exchange, IDC_ROWS_COUNT, m_rowsCount);
}

// ---- start

BOOL CTarvolineDlg::OnInitDialog()
{
    CBaseDialog::OnInitDialog();

    if (!m_statusBar.Create(this, status_bar_style, AFX_IDW_STATUS_BAR))
        return -1;
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (!m_statusBar.SetIndicators(indicators, 4))
        return -1;

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    // The template names menu 129: the window shows it as its menu bar.
    m_menu = GetMenu();
    m_contextMenu.LoadMenu(IDR_CONTEXT_MENU);
    m_backupFolder.SetCheck(BST_CHECKED);

    // Named in full: the messages about it then say which file of which folder it is.
    boost::system::error_code unresolved;
    const boost::filesystem::path settings_file =
        boost::filesystem::absolute(m_settingsFile, unresolved).lexically_normal();
    if (!unresolved)
        m_settingsFile = settings_file.string();
    // A file that is there but can't be read or parsed is treated as missing, and never
    // overwritten: the store refuses to save it.
    m_settingsReadable = m_settings.load(m_settingsFile) || !boost::filesystem::exists(m_settingsFile);
    m_settings.callback([this](const std::string& key, const std::string&, const std::string&) {
        m_appearance.Reread(key);
    });

    InitialiseLogging();
    if (!m_settingsReadable) {
        m_logger.enqueue(m_settings.last_error(), logger::error);
        m_logger.enqueue("Settings are at their defaults and will not be saved: " + m_settingsFile +
                             " is left as it is",
                         logger::error);
    }
    CheckVersion();
    m_export.MakeExporters();
    OpenCatalogue();
    LoadScripts();
    RestorePaths();

    AddAnchor(IDC_SCRIPTS, 100, 0, 0, 0);
    AddAnchor(IDC_GO, 100, 0, 0, 0);
    AddAnchor(IDC_BROWSE_MAIN, 100, 0, 0, 0);
    AddAnchor(IDC_BROWSE_BACKUP, 100, 0, 0, 0);
    AddAnchor(IDC_MAIN_PATH, 0, 0, 100, 0);
    AddAnchor(IDC_BACKUP_PATH, 0, 0, 100, 0);
    AddAnchor(IDC_LOG_VIEW, 0, 100, 100, 0);
    AddAnchor(IDC_ROWS_COUNT, 0, 100, 100, 0);

    AttachGrid();
    // The grid takes the place holder's place and window: only now is there a window to anchor.
    AddAnchor(IDC_GRID_PLACE, 0, 0, 100, 100);
    m_initialised = true;

    // A comparison that fails leaves no count behind: the line is written either way.
    UpdateRowsCount();
    if (keys::read_switch(m_settings, keys::auto_load))
        RunGuarded([this] { RunComparison(); });

    RestorePlacement();
    return TRUE;
}

void CTarvolineDlg::InitialiseLogging()
{
    if (keys::read_switch(m_settings, keys::log_enabled)) {
        const std::string file = log_file_name(keys::read_text(m_settings, keys::log_path));
        if (!m_logger.open(file))
            std::cerr << "ERROR: Unable to open log file " << file << "\n";
    }
    m_logger.set_time_format("%Y-%m-%d %H:%M:%S");
    m_logger.set_error_sink([](const std::string& text) { std::cerr << "ERROR: " << text << "\n"; });
    // The worker only queues the line and asks the UI thread once for the lines waiting; work
    // posted to a window that has gone is dropped.
    m_logger.set_line_sink([this](const std::string& line) {
        if (m_logLines.push(line))
            platform::post_to_window(this, [this] { ShowLogLines(); });
    });
}

void CTarvolineDlg::ShowLogLines()
{
    const std::vector<std::string> lines = m_logLines.take_all();
    if (lines.empty() || !m_logView.GetSafeHwnd())
        return;
    // Stream-built lines end with their own newline, which the list would show as a second,
    // empty line within the item; Save log and Copy log put it back.
    for (const std::string& line : lines) {
        const std::string::size_type end = line.find_last_not_of("\r\n");
        m_logView.AddString(end == std::string::npos ? "" : line.substr(0, end + 1).c_str());
    }
    m_logView.SetCurSel(m_logView.GetCount() - 1);
}

void CTarvolineDlg::CheckVersion()
{
    const std::string stored_text = keys::read_text(m_settings, keys::version);
    const int file_version = 9;
    const utils::version running(utils::get_version_info(&file_version), '.');
    const utils::version stored(stored_text, '.');
    if (stored_text.empty()) {
        m_logger << "Registering version " << running.to_string() << "\n";
    } else if (!(running <= stored)) {
        m_logger << "Older version detected. Updating from " << stored.to_string() << " to " << running.to_string()
                 << "\n";
    } else if (running.components() == stored.components()) {
        m_logger << "Running version " << running.to_string() << "\n";
        return;
    } else {
        m_logger << "Running version " << running.to_string() << ". Version " << stored.to_string()
                 << " was running before\n";
        return;
    }
    keys::write_text(m_settings, keys::version, running.to_string());
    m_settings.save();
}

void CTarvolineDlg::OpenCatalogue()
{
    m_archive.database_file = keys::read_text(m_settings, keys::export_file("DB"));
    m_archive.schema_file = keys::read_text(m_settings, keys::db_schema);
    const db::sqlite_db::storage_mode storage = keys::read_db_mode(m_settings) == keys::catalogue_mode::file
                                                    ? db::sqlite_db::file_mode
                                                    : db::sqlite_db::memory_mode;
    m_confirmClose = keys::read_switch(m_settings, keys::confirm_close);
    m_archive.create_result_table(m_archive.result);
    m_archive.on_note = [this](const std::string& line) { m_logger.enqueue(line, logger::info); };
    // Beside the settings: outside both trees, and each user's own.
    const boost::filesystem::path settings_folder = boost::filesystem::path(m_settingsFile).parent_path();
    m_archive.set_copy_record_folder(settings_folder.empty() ? std::string(".") : settings_folder.string());
    std::string error;
    if (!m_archive.open_database(error, storage)) {
        // A name left empty (settings that could not be read) would give an error naming nothing.
        if (m_archive.schema_file.empty())
            error = "Unable to open the catalogue: no database schema file is set (DB Schema in Tool options)";
        m_logger.enqueue(error, logger::error);
    }
}

void CTarvolineDlg::LoadScripts()
{
    std::string error;
    std::string text;
    const std::string repository = keys::read_text(m_settings, keys::script_repo);
    // A diff script that is there but doesn't compile is reported by the box, with its name.
    if (!m_archive.load_scripts(repository, error) && !m_archive.scripts.get_text(m_archive.diff_script, text)) {
        if (repository.empty())
            error = "Unable to load the scripts: no script repository is set (Script Repository in Tool options)";
        m_logger.enqueue(error, logger::error);
    }
    m_scriptCommands.FillCombo();
}

void CTarvolineDlg::RestorePaths()
{
    const std::string main_path = keys::read_text(m_settings, keys::main_path);
    if (!main_path.empty()) {
        m_mainPath.SetWindowText(main_path.c_str());
        SetMainRoot(main_path);
    }
    const std::string backup_path = keys::read_text(m_settings, keys::backup_path);
    if (!backup_path.empty())
        m_backupPath.SetWindowText(backup_path.c_str());
    m_backupText = backup_path;
    m_goButton.EnableWindow(CanCompare());
}

void CTarvolineDlg::AttachGrid()
{
    data::data_table* table = m_archive.result.get();
    m_appearance.DefineColumns(*table);
    m_appearance.ApplyHints();
    m_grid.AttachToDialogControl(this);
    m_grid.BindTable(table);
    m_appearance.ApplyColours();
    ShowFilterState();
    m_grid.SetGridEventCallback(m_rowCommands.GridEventCallback());
}

void CTarvolineDlg::RestorePlacement()
{
    keys::window_edges edges;
    if (!keys::read_window_edges(m_settings, edges))
        return;
    // Only a rectangle a user can reach: it overlaps the screen by 50 pixels each way.
    const int overlap = 50;
    const CRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const CRect wanted(edges.left, edges.top, edges.right, edges.bottom);
    CRect common;
    if (!common.IntersectRect(&screen, &wanted) || common.Width() < overlap || common.Height() < overlap)
        return;
    SetWindowPos(nullptr, wanted.left, wanted.top, wanted.Width(), wanted.Height(), SWP_NOZORDER | SWP_FRAMECHANGED);
    if (edges.maximised)
        ShowWindow(SW_MAXIMIZE);
}

// ---- log, catalogue file, statistics and settings

std::vector<std::string> CTarvolineDlg::log_view_lines() const
{
    std::vector<std::string> lines;
    const int count = m_logView.GetCount();
    for (int index = 0; index < count; ++index) {
        CString text;
        m_logView.GetText(index, text);
        lines.push_back(text.GetString());
    }
    return lines;
}

void CTarvolineDlg::OnSaveLog()
{
    save_log(*this);
}

void CTarvolineDlg::OnCopyLog()
{
    copy_log(*this);
}

void CTarvolineDlg::OnDump()
{
    dump_catalogue(*this);
}

void CTarvolineDlg::OnLoad()
{
    std::string loaded_file;
    // Loaded rows were made for folders nobody can tell, and a load that failed half-way may
    // have emptied them: either way, merging waits for the next comparison.
    m_tableRootsValid = false;
    if (load_catalogue(*this, static_cast<std::uint32_t>(DifferenceMask()), loaded_file)) {
        // The loaded rows are the plain differences.
        m_customFilter.clear();
        ShowFilterState();
    }
    m_grid.GetSelectionManager()->ClearAll();
    m_grid.RepaintAllParts();
    UpdateRowsCount();
}

void CTarvolineDlg::OnShowStatistics()
{
    show_statistics(*this);
}

bool CTarvolineDlg::SaveSettings()
{
    // A settings file that could not be read is the user's: it is never overwritten.
    return m_settingsReadable && m_settings.save();
}

// ---- close

void CTarvolineDlg::OnClose()
{
    if (m_confirmClose && AfxMessageBox("End session?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CRect rect;
    GetWindowRect(&rect);
    keys::window_edges edges;
    edges.maximised = IsZoomed() != FALSE;
    // A maximised window keeps the rectangle a restore goes back to: it starts maximised
    // again, and un-maximising gives the user's own size rather than the screen's.
    if (edges.maximised && !restored_rect().IsRectEmpty())
        rect = restored_rect();
    edges.left = rect.left;
    edges.top = rect.top;
    edges.right = rect.right;
    edges.bottom = rect.bottom;
    if (m_initialised) {
        keys::write_window_edges(m_settings, edges);
        m_settings.save();
    }
    EndDialog(0);
}

void CTarvolineDlg::OnExit()
{
    SendMessage(WM_CLOSE);
}
