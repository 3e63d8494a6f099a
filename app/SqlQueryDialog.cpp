#include "app/SqlQueryDialog.h"

#include "core/fs/file_archive.h"
#include "core/script_manager.h"
#include "core/utils/string_utils.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/modal.h"

#include <exception>

dialog_template sql_query_dialog_template()
{
    dialog_template table;
    table.id = IDD_SQL_QUERY;
    table.caption = "Query interface";
    table.width = 316;
    table.height = 183;
    table.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    using kind = dialog_control_kind;
    table.controls = {
        {IDC_QUERY_FIELDS_LABEL, kind::static_text, "Available fields", 6, 6, 68, 8},
        {IDC_QUERY_FIELDS, kind::list_box, "", 2, 18, 75, 77},
        {IDC_QUERY_SCRIPTS_LABEL, kind::static_text, "Scripts repository", 6, 97, 57, 8},
        {IDC_QUERY_SCRIPTS, kind::list_box, "", 2, 109, 75, 72},
        {IDC_QUERY_LABEL, kind::static_text, "Query", 82, 6, 76, 8},
        {IDC_QUERY_NAME, kind::edit, "", 79, 17, 235, 14},
        {IDC_QUERY_TEXT, kind::edit, "", 79, 34, 235, 132, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL},
        {IDC_QUERY_CLEAR, kind::push_button, "Clear", 142, 168, 42, 14},
        {IDC_QUERY_SAVE, kind::push_button, "Save", 186, 168, 42, 14},
        {IDC_QUERY_CLOSE, kind::push_button, "Close", 230, 168, 42, 14},
        {IDC_QUERY_RUN, kind::push_button, "Run", 273, 168, 42, 14},
    };
    return table;
}

CSqlQueryDialog::CSqlQueryDialog(CWnd* parent) : CDialogEx(IDD_SQL_QUERY, parent)
{
    if (!platform::find_dialog_template(IDD_SQL_QUERY))
        platform::register_dialog_template(sql_query_dialog_template());
}

BOOL CSqlQueryDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    for (const std::string& name : m_script_names)
        m_scripts.AddString(name.c_str());
    for (const std::string& name : m_field_names)
        m_fields.AddString(name.c_str());
    return TRUE;
}

void CSqlQueryDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialogEx::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_QUERY_FIELDS, m_fields);
    DDX_Control(exchange, IDC_QUERY_SCRIPTS, m_scripts);
    DDX_Control(exchange, IDC_QUERY_TEXT, m_text);
    DDX_Control(exchange, IDC_QUERY_NAME, m_name);
}

BOOL CSqlQueryDialog::OnCommand(WPARAM wparam, LPARAM lparam)
{
    const int id = LOWORD(wparam);
    const UINT code = HIWORD(wparam);
    if (id == IDC_QUERY_SCRIPTS && code == LBN_SELCHANGE) {
        OnScriptSelected();
        return TRUE;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_QUERY_CLEAR: OnClear(); return TRUE;
        case IDC_QUERY_SAVE: OnSave(); return TRUE;
        case IDC_QUERY_CLOSE: EndDialog(IDCANCEL); return TRUE;
        case IDC_QUERY_RUN: OnRun(); return TRUE;
        default: break;
        }
    }
    return CDialogEx::OnCommand(wparam, lparam);
}

void CSqlQueryDialog::OnScriptSelected()
{
    const int selected = m_scripts.GetCurSel();
    if (selected < 0 || !m_repository)
        return;
    CString name;
    m_scripts.GetText(selected, name);
    m_name.SetWindowText(name);
    std::string text;
    m_repository->get_text(name.GetString(), text);
    // The edit keeps the repository's own "\n" line ends: they are the native ones here.
    m_text.SetWindowText(text.c_str());
}

void CSqlQueryDialog::OnClear()
{
    m_name.SetWindowText("");
    m_text.SetWindowText("");
}

void CSqlQueryDialog::OnSave()
{
    if (!m_repository)
        return;
    CString typed;
    m_name.GetWindowText(typed);
    std::string name = typed.GetString();
    utils::string_utils::trim_left(name);
    utils::string_utils::trim_right(name);
    if (name.empty()) {
        AfxMessageBox("Enter a name for the query script.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString body;
    m_text.GetWindowText(body);
    const std::string text = body.GetString();
    if (!fs::holds_statement(text)) {
        AfxMessageBox(("Query script " + name + " has no SQL statement to save.").c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const auto known = m_repository->scripts().find(name);
    script_manager::script* script = nullptr;
    if (known != m_repository->scripts().end()) {
        const std::string question = "Query script " + name + " exists. Overwrite?";
        if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        // A name typed in another letter case is the same script, kept under its own name.
        name = known->first;
        script = known->second.get();
    } else {
        script = m_repository->add_script(name);
    }
    if (!script)
        return;
    script->set_text(text);
    if (!m_repository->save()) {
        if (m_report_error)
            m_report_error("Unable to save query script " + name + " into " + m_repository->document().file_name() +
                           ": " + m_repository->document().last_error());
        return;
    }
    int listed = -1;
    for (int index = 0; index < m_scripts.GetCount() && listed < 0; ++index) {
        CString entry;
        m_scripts.GetText(index, entry);
        if (utils::string_utils::compare_no_case(entry.GetString(), name) == 0)
            listed = index;
    }
    if (listed < 0)
        listed = m_scripts.AddString(name.c_str());
    m_scripts.SetCurSel(listed);
    m_saved.push_back(name);
}

void CSqlQueryDialog::OnRun()
{
    std::exception_ptr failure;
    for (const std::string& name : m_saved) {
        std::string text;
        if (!m_repository || !m_repository->get_text(name, text))
            continue;
        try {
            if (m_apply)
                m_apply(name, text);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    m_saved.clear();
    EndDialog(IDOK);
    if (failure)
        std::rethrow_exception(failure);
}
