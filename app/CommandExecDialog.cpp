#include "app/CommandExecDialog.h"

#include "platform/base/shell_dialogs.h"

#include <boost/filesystem/operations.hpp>

namespace {

bool program_exists(const CString& program)
{
    boost::system::error_code ignored;
    return !program.IsEmpty() && boost::filesystem::is_regular_file(static_cast<const char*>(program), ignored);
}

} // namespace

dialog_template command_exec_dialog_template()
{
    dialog_template table;
    table.id = IDD_COMMAND_EXEC;
    table.caption = "Command prompt";
    table.width = 316;
    table.height = 84;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
    using kind = dialog_control_kind;
    table.controls = {
        {IDC_COMMAND_PROGRAM_LABEL, kind::static_text, "Program", 7, 8, 40, 8},
        {IDC_COMMAND_PROGRAM, kind::edit, "", 50, 6, 229, 12, ES_READONLY},
        {IDC_COMMAND_BROWSE, kind::push_button, "...", 281, 5, 28, 14},
        {IDC_COMMAND_INPUT_LABEL, kind::static_text, "Input file", 7, 23, 40, 8},
        {IDC_COMMAND_INPUT_FILE, kind::edit, "", 50, 21, 259, 12, ES_READONLY},
        {IDC_COMMAND_OPTIONS_LABEL, kind::static_text, "Options", 7, 38, 40, 8},
        {IDC_COMMAND_OPTIONS, kind::edit, "", 50, 36, 259, 12},
        {IDC_COMMAND_RUN_AS_LABEL, kind::static_text, "Run as", 7, 53, 40, 8},
        {IDC_COMMAND_RUN_AS, kind::edit, "", 50, 51, 259, 12, ES_READONLY},
        {IDC_COMMAND_REMEMBER, kind::check_box, "Remember my choice", 7, 65, 120, 16},
        {IDOK, kind::default_push_button, "Run", 205, 66, 50, 14},
        {IDCANCEL, kind::push_button, "Cancel", 259, 66, 50, 14},
    };
    return table;
}

CCommandExecDialog::CCommandExecDialog(const std::string& program, const std::string& input_file, bool remember,
                                       CWnd* parent)
    : CDialogEx(IDD_COMMAND_EXEC, parent), m_program(program.c_str()), m_input_file(input_file.c_str()),
      m_remember(remember ? 1 : 0)
{
    if (!platform::find_dialog_template(IDD_COMMAND_EXEC))
        platform::register_dialog_template(command_exec_dialog_template());
}

external_command::command CCommandExecDialog::command() const
{
    return external_command::open_with(program(), options(), input_file());
}

bool CCommandExecDialog::run_enabled() const
{
    return program_exists(m_program);
}

BOOL CCommandExecDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    FormatCommand();
    UpdateData(FALSE);
    EnableRun();
    return TRUE;
}

void CCommandExecDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_COMMAND_PROGRAM, m_program_edit);
    DDX_Control(exchange, IDC_COMMAND_OPTIONS, m_options_edit);
    DDX_Text(exchange, IDC_COMMAND_PROGRAM, m_program);
    DDX_Text(exchange, IDC_COMMAND_INPUT_FILE, m_input_file);
    DDX_Text(exchange, IDC_COMMAND_OPTIONS, m_options);
    DDX_Text(exchange, IDC_COMMAND_RUN_AS, m_command);
    DDX_Check(exchange, IDC_COMMAND_REMEMBER, m_remember);
}

BOOL CCommandExecDialog::OnCommand(WPARAM wparam, LPARAM lparam)
{
    const int id = LOWORD(wparam);
    const UINT code = HIWORD(wparam);
    if (id == IDC_COMMAND_PROGRAM && code == EN_UPDATE) {
        GetDlgItemText(IDC_COMMAND_PROGRAM, m_program);
        EnableRun();
        FormatCommand();
        ShowCommand();
        return TRUE;
    }
    if (id == IDC_COMMAND_OPTIONS && code == EN_UPDATE) {
        GetDlgItemText(IDC_COMMAND_OPTIONS, m_options);
        FormatCommand();
        ShowCommand();
        return TRUE;
    }
    if ((id == IDC_COMMAND_INPUT_FILE || id == IDC_COMMAND_OPTIONS) && code == EN_KILLFOCUS) {
        FormatCommand();
        ShowCommand();
        return TRUE;
    }
    if (id == IDC_COMMAND_BROWSE && code == BN_CLICKED) {
        BrowseProgram();
        return TRUE;
    }
    if (id == IDC_COMMAND_REMEMBER && code == BN_CLICKED) {
        m_remember = m_remember != 0 ? 0 : 1;
        return TRUE;
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CCommandExecDialog::OnOK()
{
    if (!run_enabled())
        return;
    CDialogEx::OnOK();
}

void CCommandExecDialog::FormatCommand()
{
    m_command = command().text.c_str();
}

// Only "Run as" is pushed: pushing the edited field back into itself would move its caret.
void CCommandExecDialog::ShowCommand()
{
    if (GetDlgItem(IDC_COMMAND_RUN_AS))
        SetDlgItemText(IDC_COMMAND_RUN_AS, m_command);
}

void CCommandExecDialog::EnableRun()
{
    if (CWnd* run = GetDlgItem(IDOK))
        run->EnableWindow(run_enabled() ? TRUE : FALSE);
}

void CCommandExecDialog::BrowseProgram()
{
    CFileDialog picker(TRUE, nullptr, m_program, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, nullptr, this);
    if (picker.DoModal() == IDOK)
        SetDlgItemText(IDC_COMMAND_PROGRAM, picker.GetPathName());
}
