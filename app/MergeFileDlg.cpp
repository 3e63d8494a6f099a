#include "app/MergeFileDlg.h"

#include "core/utils/string_utils.h"
#include "platform/base/dc.h"
#include "platform/base/process_launcher.h"

#include <boost/filesystem.hpp>


namespace {

constexpr UINT label_id = 0xFFFF;

bool file_present(const boost::filesystem::path& file)
{
    boost::system::error_code ignored;
    const auto type = boost::filesystem::status(file, ignored).type();
    return type != boost::filesystem::status_error && type != boost::filesystem::file_not_found;
}

}  // namespace

dialog_template merge_file_dialog_template()
{
    dialog_template table;
    table.id = IDD_MERGE_FILE;
    table.caption = "Merge file";
    table.width = 383;
    table.height = 99;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
    using kind = dialog_control_kind;
    // Edits are read-only: the dialog shows the two versions, it edits nothing.
    const DWORD read_only = ES_READONLY;
    table.controls = {{IDC_MERGE_NAME, kind::static_text, "", 7, 6, 369, 9}};
    // One column of path, time and size per side; ids of the main side first.
    struct side {
        int left;
        UINT folder, go, time, time_marker, size, size_marker;
    };
    for (const side& column : {side{7, IDC_MERGE_MAIN_FOLDER, IDC_MERGE_GO_MAIN, IDC_MERGE_MAIN_TIME,
                                     IDC_MERGE_MAIN_TIME_MARKER, IDC_MERGE_MAIN_SIZE, IDC_MERGE_MAIN_SIZE_MARKER},
                               side{210, IDC_MERGE_BACKUP_FOLDER, IDC_MERGE_GO_BACKUP, IDC_MERGE_BACKUP_TIME,
                                     IDC_MERGE_BACKUP_TIME_MARKER, IDC_MERGE_BACKUP_SIZE, IDC_MERGE_BACKUP_SIZE_MARKER}}) {
        const int x = column.left;
        table.controls.insert(table.controls.end(), {
            {label_id, kind::static_text, "Path", x + 6, 32, 20, 8},
            {column.folder, kind::edit, "", x + 28, 30, 100, 13, read_only},
            {column.go, kind::push_button, "Go", x + 131, 29, 28, 14},
            {label_id, kind::static_text, "Time", x + 6, 47, 20, 8},
            {column.time, kind::edit, "", x + 28, 45, 100, 13, read_only},
            {column.time_marker, kind::static_text, "", x + 131, 47, 8, 8},
            {label_id, kind::static_text, "Size", x + 6, 62, 20, 8},
            {column.size, kind::edit, "", x + 28, 60, 100, 13, read_only},
            {column.size_marker, kind::static_text, "", x + 131, 62, 8, 8},
        });
    }
    table.controls.insert(table.controls.end(), {
        {IDC_MERGE_COPY_RIGHT, kind::push_button, ">>", 177, 36, 28, 14},
        {IDC_MERGE_COPY_LEFT, kind::push_button, "<<", 177, 56, 28, 14},
        {IDCANCEL, kind::push_button, "Cancel", 326, 81, 50, 14},
        // Last, so the frames lie beneath the controls they surround.
        {label_id, kind::group_box, "Main version", 7, 18, 165, 60},
        {label_id, kind::group_box, "Backup version", 210, 18, 165, 60},
    });
    return table;
}

CMergeFileDlg::CMergeFileDlg(CWnd* parent) : CDialogEx(IDD_MERGE_FILE, parent)
{
    if (!platform::find_dialog_template(IDD_MERGE_FILE))
        platform::register_dialog_template(merge_file_dialog_template());
}

CMergeFileDlg::~CMergeFileDlg()
{
    DestroyWindow();
}

BOOL CMergeFileDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    using utils::string_utils::compare_no_case;
    const std::string kind = m_kind.GetString();
    const bool main_missing = compare_no_case(kind, "FILE") == 0;
    const bool backup_missing = compare_no_case(kind, "BACKUP") == 0;
    m_copy_left.EnableWindow(!backup_missing);
    m_copy_right.EnableWindow(!main_missing);

    m_worse_brush.CreateSolidBrush(m_worse_background);
    m_better_brush.CreateSolidBrush(m_better_background);

    if (m_size_choice < 0) {
        m_main_size_marker = "*";
        m_main_size_edit.Invalidate();
    } else if (m_size_choice > 0) {
        m_backup_size_marker = "*";
        m_backup_size_edit.Invalidate();
    }
    if (m_time_choice < 0) {
        m_main_time_marker = "*";
        m_main_time_edit.Invalidate();
    } else if (m_time_choice > 0) {
        m_backup_time_marker = "*";
        m_backup_time_edit.Invalidate();
    }
    UpdateData(FALSE);
    return TRUE;
}

void CMergeFileDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_MERGE_NAME, m_name_line);
    DDX_Control(exchange, IDC_MERGE_MAIN_FOLDER, m_main_folder_edit);
    DDX_Control(exchange, IDC_MERGE_BACKUP_FOLDER, m_backup_folder_edit);
    DDX_Control(exchange, IDC_MERGE_MAIN_TIME, m_main_time_edit);
    DDX_Control(exchange, IDC_MERGE_BACKUP_TIME, m_backup_time_edit);
    DDX_Control(exchange, IDC_MERGE_MAIN_SIZE, m_main_size_edit);
    DDX_Control(exchange, IDC_MERGE_BACKUP_SIZE, m_backup_size_edit);
    DDX_Control(exchange, IDC_MERGE_COPY_RIGHT, m_copy_right);
    DDX_Control(exchange, IDC_MERGE_COPY_LEFT, m_copy_left);
    DDX_Text(exchange, IDC_MERGE_NAME, m_name);
    DDX_Text(exchange, IDC_MERGE_MAIN_FOLDER, m_main_folder);
    DDX_Text(exchange, IDC_MERGE_BACKUP_FOLDER, m_backup_folder);
    DDX_Text(exchange, IDC_MERGE_MAIN_TIME, m_main_time);
    DDX_Text(exchange, IDC_MERGE_BACKUP_TIME, m_backup_time);
    DDX_Text(exchange, IDC_MERGE_MAIN_SIZE, m_main_size);
    DDX_Text(exchange, IDC_MERGE_BACKUP_SIZE, m_backup_size);
    DDX_Text(exchange, IDC_MERGE_MAIN_TIME_MARKER, m_main_time_marker);
    DDX_Text(exchange, IDC_MERGE_BACKUP_TIME_MARKER, m_backup_time_marker);
    DDX_Text(exchange, IDC_MERGE_MAIN_SIZE_MARKER, m_main_size_marker);
    DDX_Text(exchange, IDC_MERGE_BACKUP_SIZE_MARKER, m_backup_size_marker);
}

BOOL CMergeFileDlg::OnCommand(WPARAM wparam, LPARAM lparam)
{
    if (HIWORD(wparam) == BN_CLICKED) {
        switch (LOWORD(wparam)) {
        case IDCANCEL:
            EndDialog(0);
            return TRUE;
        case IDC_MERGE_COPY_RIGHT:
            EndDialog(1);
            return TRUE;
        case IDC_MERGE_COPY_LEFT:
            EndDialog(-1);
            return TRUE;
        case IDC_MERGE_GO_MAIN:
            ShowFileInFolder(true);
            return TRUE;
        case IDC_MERGE_GO_BACKUP:
            ShowFileInFolder(false);
            return TRUE;
        default:
            break;
        }
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

LRESULT CMergeFileDlg::WindowProc(UINT message, WPARAM wparam, LPARAM lparam)
{
    const LRESULT base = CDialogEx::WindowProc(message, wparam, lparam);
    // Read-only edits ask with WM_CTLCOLORSTATIC, editable ones with WM_CTLCOLOREDIT.
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC)
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<CDC*>(wparam), reinterpret_cast<CWnd*>(lparam),
                                                    reinterpret_cast<HBRUSH>(base)));
    return base;
}

int CMergeFileDlg::edit_standing(int id) const
{
    switch (id) {
    case IDC_MERGE_MAIN_SIZE: return -m_size_choice;
    case IDC_MERGE_BACKUP_SIZE: return m_size_choice;
    case IDC_MERGE_MAIN_TIME: return -m_time_choice;
    case IDC_MERGE_BACKUP_TIME: return m_time_choice;
    default: return 0;
    }
}

HBRUSH CMergeFileDlg::OnCtlColor(CDC* dc, CWnd* control, HBRUSH base)
{
    if (!control)
        return base;
    const int id = control->GetDlgCtrlID();
    if (id != IDC_MERGE_MAIN_SIZE && id != IDC_MERGE_BACKUP_SIZE && id != IDC_MERGE_MAIN_TIME
        && id != IDC_MERGE_BACKUP_TIME)
        return base;
    if (dc)
        dc->SetBkMode(TRANSPARENT);
    const int standing = edit_standing(id);
    if (standing == 0)
        return base;
    if (dc)
        dc->SetTextColor(standing > 0 ? m_better_foreground : m_worse_foreground);
    return standing > 0 ? static_cast<HBRUSH>(m_better_brush) : static_cast<HBRUSH>(m_worse_brush);
}

void CMergeFileDlg::ShowFileInFolder(bool main_side)
{
    const boost::filesystem::path file = boost::filesystem::path((main_side ? m_main_folder : m_backup_folder).GetString())
                                         / m_name.GetString();
    if (!file_present(file))
        return;
    if (const int error = platform::show_in_folder(file.string()))
        platform::report_failure(platform::show_in_folder_failure(file.string(), error));
}
