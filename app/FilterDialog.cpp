#include "app/FilterDialog.h"

#include "app/resource_ids.h"
#include "platform/base/dialog_controls.h"

dialog_template filter_dialog_template()
{
    dialog_template table;
    table.id = IDD_FILTER;
    table.width = 212;
    table.height = 58;
    table.style = WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    table.controls = {
        {static_cast<UINT>(IDC_FILTER_LABEL), kind::static_text, "", 2, 2, 208, 8},
        {static_cast<UINT>(IDC_FILTER_CONDITION), kind::edit, "", 2, 14, 208, 27, ES_MULTILINE | ES_AUTOVSCROLL},
        {IDOK, kind::default_push_button, "OK", 56, 42, 50, 14},
        {static_cast<UINT>(IDC_FILTER_CLEAR), kind::push_button, "Clear", 108, 42, 50, 14},
        {IDCANCEL, kind::push_button, "Cancel", 160, 42, 50, 14},
    };
    return table;
}

CFilterDialog::CFilterDialog(CWnd* parent) : CDialogEx(IDD_FILTER, parent)
{
    if (!platform::find_dialog_template(IDD_FILTER))
        platform::register_dialog_template(filter_dialog_template());
}

BOOL CFilterDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    m_edit.SetWindowText(m_condition.c_str());
    m_edit.SetFocus();
    return FALSE;
}

void CFilterDialog::DoDataExchange(CDataExchange* exchange)
{
    DDX_Control(exchange, IDC_FILTER_CONDITION, m_edit);
    DDX_Text(exchange, IDC_FILTER_LABEL, m_label);
}

void CFilterDialog::OnOK()
{
    CString text;
    m_edit.GetWindowText(text);
    m_condition = text.GetString();
    EndDialog(IDOK);
}

BOOL CFilterDialog::OnCommand(WPARAM wparam, LPARAM lparam)
{
    if (LOWORD(wparam) == IDC_FILTER_CLEAR && HIWORD(wparam) == BN_CLICKED) {
        m_edit.SetWindowText("");
        return TRUE;
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CFilterDialog::OnShowWindow(BOOL show, UINT status)
{
    CDialogEx::OnShowWindow(show, status);
    if (show) {
        m_edit.SetWindowText(m_condition.c_str());
        m_edit.SetFocus();
    }
}
