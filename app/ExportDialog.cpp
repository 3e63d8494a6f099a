#include "app/ExportDialog.h"

#include "platform/base/dialog_controls.h"

namespace {

// Group boxes that nothing addresses.
constexpr UINT unnamed_control = 0xFFFF;

}  // namespace

dialog_template export_dialog_template()
{
    dialog_template table;
    table.id = IDD_EXPORT;
    table.caption = "Dialog";
    table.width = 222;
    table.height = 122;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    table.controls = {
        {IDC_EXPORT_XML, kind::radio_button, "XML", 15, 19, 74, 10, WS_GROUP | WS_TABSTOP},
        {IDC_EXPORT_CSV, kind::radio_button, "CSV", 15, 33, 74, 10},
        {IDC_EXPORT_DB, kind::radio_button, "DB", 15, 47, 74, 10},
        {IDC_EXPORT_EXCEL, kind::radio_button, "Excel", 15, 61, 74, 10},
        {IDC_EXPORT_RAW_DATA, kind::check_box, "Export raw data", 9, 86, 88, 10, WS_GROUP},
        {IDC_EXPORT_VALUES_AS_ATTRIBUTES, kind::check_box, "Values as attributes", 111, 19, 102, 10},
        {IDC_EXPORT_SEPARATOR_LABEL, kind::static_text, "Separator", 111, 54, 48, 8},
        {IDC_EXPORT_SEPARATOR, kind::edit, "", 161, 52, 44, 12},
        {IDC_EXPORT_INCLUDE_HEADER, kind::check_box, "Include header", 111, 72, 100, 10},
        {IDC_EXPORT_EXPORT, kind::default_push_button, "Export", 111, 101, 50, 14},
        {IDC_EXPORT_CANCEL, kind::push_button, "Cancel", 165, 101, 50, 14},
        // Group boxes last: they frame the controls and must not lie over them.
        {unnamed_control, kind::group_box, "Format", 7, 7, 90, 72},
        {unnamed_control, kind::group_box, "XML Settings", 104, 7, 111, 28},
        {unnamed_control, kind::group_box, "CSV Settings", 104, 39, 111, 55},
    };
    return table;
}

CExportDialog::CExportDialog(CWnd* parent) : CDialogEx(IDD_EXPORT, parent)
{
    if (!platform::find_dialog_template(IDD_EXPORT))
        platform::register_dialog_template(export_dialog_template());
}

export_options CExportDialog::options() const
{
    export_options chosen;
    if (m_xml)
        chosen.format = export_xml;
    else if (m_csv)
        chosen.format = export_csv;
    else if (m_db)
        chosen.format = export_db;
    else if (m_excel)
        chosen.format = export_excel;
    chosen.raw_data = m_raw_data != 0;
    chosen.values_as_attributes = m_values_as_attributes != 0;
    chosen.separator = m_separator.GetString();
    chosen.include_header = m_include_header != 0;
    return chosen;
}

BOOL CExportDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetDlgItemText(IDC_EXPORT_SEPARATOR, ",");
    CheckDlgButton(IDC_EXPORT_VALUES_AS_ATTRIBUTES, BST_CHECKED);
    for (int id : {IDC_EXPORT_VALUES_AS_ATTRIBUTES, IDC_EXPORT_SEPARATOR_LABEL, IDC_EXPORT_SEPARATOR,
                   IDC_EXPORT_INCLUDE_HEADER, IDC_EXPORT_EXPORT})
        EnableOption(id, false);
    return TRUE;
}

void CExportDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Check(exchange, IDC_EXPORT_INCLUDE_HEADER, m_include_header);
    DDX_Check(exchange, IDC_EXPORT_VALUES_AS_ATTRIBUTES, m_values_as_attributes);
    DDX_Check(exchange, IDC_EXPORT_RAW_DATA, m_raw_data);
    DDX_Text(exchange, IDC_EXPORT_SEPARATOR, m_separator);
}

BOOL CExportDialog::OnCommand(WPARAM wparam, LPARAM lparam)
{
    const int id = LOWORD(wparam);
    if (HIWORD(wparam) == BN_CLICKED) {
        switch (id) {
        case IDC_EXPORT_XML:
        case IDC_EXPORT_CSV:
        case IDC_EXPORT_DB:
        case IDC_EXPORT_EXCEL:
            ChooseFormat(id);
            return TRUE;
        case IDC_EXPORT_EXPORT:
            // The options are read while the controls still exist.
            if (UpdateData(TRUE))
                EndDialog(IDOK);
            return TRUE;
        case IDC_EXPORT_CANCEL:
            EndDialog(IDCANCEL);
            return TRUE;
        default:
            break;
        }
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CExportDialog::ChooseFormat(int id)
{
    m_xml = id == IDC_EXPORT_XML;
    m_csv = id == IDC_EXPORT_CSV;
    m_db = id == IDC_EXPORT_DB;
    m_excel = id == IDC_EXPORT_EXCEL;
    if (m_first_choice) {
        m_first_choice = 0;
        EnableOption(IDC_EXPORT_EXPORT, true);
    }
    EnableOption(IDC_EXPORT_VALUES_AS_ATTRIBUTES, m_xml != 0);
    for (int option : {IDC_EXPORT_SEPARATOR_LABEL, IDC_EXPORT_SEPARATOR, IDC_EXPORT_INCLUDE_HEADER})
        EnableOption(option, m_csv != 0);
}

void CExportDialog::EnableOption(int id, bool enable)
{
    if (CWnd* control = GetDlgItem(id))
        control->EnableWindow(enable ? TRUE : FALSE);
}
