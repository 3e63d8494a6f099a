#include "app/ScriptCommands.h"

#include "app/SqlQueryDialog.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "core/utils/string_utils.h"
#include "platform/base/dialog_controls.h"

namespace {

int find_entry(const CComboBox& combo, const std::string& name)
{
    for (int index = 0; index < combo.GetCount(); ++index) {
        CString text;
        combo.GetLBText(index, text);
        if (utils::string_utils::compare_no_case(text.GetString(), name) == 0)
            return index;
    }
    return -1;
}

}  // namespace

void ScriptCommands::FillCombo()
{
    fs::file_archive& catalogue = m_host.command_archive();
    fill_scripts_combo(m_host.scripts_combo(), catalogue, catalogue.diff_script, m_host.command_log(), m_reported);
}

bool ScriptCommands::SelectDiffScript()
{
    fs::file_archive& catalogue = m_host.command_archive();
    return select_diff_script(m_host.scripts_combo(), catalogue, catalogue.diff_script);
}

bool ScriptCommands::Query()
{
    if (!run_query_command(m_host.command_window(), m_host.command_archive(), m_host.command_log(), m_reported))
        return false;
    FillCombo();
    return true;
}

void fill_scripts_combo(CComboBox& combo, fs::file_archive& catalogue, const std::string& diff_script, logger& log,
                        reported_scripts& reported)
{
    combo.ResetContent();
    for (const auto& entry : catalogue.scripts.scripts()) {
        const std::string& name = entry.first;
        std::uint64_t prepared = 0;
        std::string error;
        if (!catalogue.statement_id(name, prepared) && !catalogue.prepare_script(name, entry.second->text(), error)) {
            // Offered, it would show selected while Go runs the script in use.
            if (reported.insert(name).second)
                log.enqueue("Unable to prepare script " + name + ": " + error, logger::error);
            continue;
        }
        combo.AddString(name.c_str());
    }
    combo.EnableWindow(combo.GetCount() > 1 ? TRUE : FALSE);
    combo.SetCurSel(find_entry(combo, diff_script));
}

bool select_diff_script(CComboBox& combo, fs::file_archive& catalogue, std::string& diff_script)
{
    const int selected = combo.GetCurSel();
    CString text;
    if (selected >= 0)
        combo.GetLBText(selected, text);
    std::uint64_t prepared = 0;
    if (selected < 0 || !catalogue.statement_id(text.GetString(), prepared)) {
        combo.SetCurSel(find_entry(combo, diff_script));
        return false;
    }
    diff_script = text.GetString();
    catalogue.diff_script = diff_script;
    return true;
}

bool run_query_command(CWnd* parent, fs::file_archive& catalogue, logger& log, reported_scripts& reported)
{
    CSqlQueryDialog dialog(parent);
    for (const char* field : {"ID", "NAME", "FULL_PATH", "RELATIVE_PATH", "EXTENSION", "LAST_WRITE_TIME"})
        dialog.AddField(field);
    dialog.m_repository = &catalogue.scripts;
    for (const auto& entry : catalogue.scripts.scripts())
        dialog.m_script_names.push_back(entry.first);
    // An edited script takes effect at once: it replaces the statement of its name.
    dialog.m_apply = [&catalogue, &log, &reported](const std::string& name, const std::string& sql) {
        std::string error;
        if (!catalogue.prepare_script(name, sql, error, true)) {
            log.enqueue("Unable to prepare script " + name + ": " + error, logger::error);
            reported.insert(name);
        }
    };
    dialog.m_report_error = [&log](const std::string& text) { log.enqueue(text, logger::error); };
    return dialog.DoModal() == IDOK;
}
