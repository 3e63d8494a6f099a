#include "app/ArchiveStatsDialog.h"

#include "platform/base/dialog_controls.h"

namespace {

constexpr UINT unnamed_control = 0xFFFF;

// The five rows of one tree's group, from its top edge.
void add_tree_rows(std::vector<dialog_control>& controls, int top, const int (&ids)[5])
{
    const char* const labels[] = {"Files", "Folders", "Total size", "Most recent", "Least recent"};
    for (int row = 0; row < 5; ++row) {
        const int y = top + 13 + row * 11;
        controls.push_back({unnamed_control, dialog_control_kind::static_text, labels[row], 15, y, 62, 8});
        controls.push_back({static_cast<UINT>(ids[row]), dialog_control_kind::static_text, "", 80, y, 155, 8});
    }
}

}  // namespace

dialog_template archive_stats_dialog_template()
{
    dialog_template table;
    table.id = IDD_ARCHIVE_STATS;
    table.caption = "Statistics";
    table.width = 250;
    table.height = 176;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    add_tree_rows(table.controls, 7,
                  {IDC_STATS_MAIN_FILES, IDC_STATS_MAIN_FOLDERS, IDC_STATS_MAIN_SIZE, IDC_STATS_MAIN_NEWEST,
                   IDC_STATS_MAIN_OLDEST});
    add_tree_rows(table.controls, 82,
                  {IDC_STATS_BACKUP_FILES, IDC_STATS_BACKUP_FOLDERS, IDC_STATS_BACKUP_SIZE, IDC_STATS_BACKUP_NEWEST,
                   IDC_STATS_BACKUP_OLDEST});
    table.controls.push_back({IDOK, kind::default_push_button, "Close", 193, 157, 50, 14});
    // Group boxes last: they frame the rows and must not lie over them.
    table.controls.push_back({IDC_STATS_MAIN_GROUP, kind::group_box, "Main", 7, 7, 236, 71});
    table.controls.push_back({IDC_STATS_BACKUP_GROUP, kind::group_box, "Backup", 7, 82, 236, 71});
    return table;
}

CArchiveStatsDialog::CArchiveStatsDialog(CWnd* parent) : CDialogEx(IDD_ARCHIVE_STATS, parent)
{
    if (!platform::find_dialog_template(IDD_ARCHIVE_STATS))
        platform::register_dialog_template(archive_stats_dialog_template());
}

BOOL CArchiveStatsDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    return TRUE;
}

void CArchiveStatsDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Text(exchange, IDC_STATS_MAIN_GROUP, m_main_caption);
    DDX_Text(exchange, IDC_STATS_MAIN_FILES, m_main_files);
    DDX_Text(exchange, IDC_STATS_MAIN_FOLDERS, m_main_folders);
    DDX_Text(exchange, IDC_STATS_MAIN_SIZE, m_main_size);
    DDX_Text(exchange, IDC_STATS_MAIN_NEWEST, m_main_newest);
    DDX_Text(exchange, IDC_STATS_MAIN_OLDEST, m_main_oldest);
    DDX_Text(exchange, IDC_STATS_BACKUP_GROUP, m_backup_caption);
    DDX_Text(exchange, IDC_STATS_BACKUP_FILES, m_backup_files);
    DDX_Text(exchange, IDC_STATS_BACKUP_FOLDERS, m_backup_folders);
    DDX_Text(exchange, IDC_STATS_BACKUP_SIZE, m_backup_size);
    DDX_Text(exchange, IDC_STATS_BACKUP_NEWEST, m_backup_newest);
    DDX_Text(exchange, IDC_STATS_BACKUP_OLDEST, m_backup_oldest);
}

// Closing the window is Close: the base would end the dialog once more, with Cancel.
void CArchiveStatsDialog::OnClose()
{
    EndDialog(IDOK);
}
