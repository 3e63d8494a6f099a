#include "app/ScriptCommands.h"

#include "app/SqlQueryDialog.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "core/utils/string_utils.h"
#include "platform/base/dialog_controls.h"

void fill_scripts_combo(CComboBox& combo, fs::file_archive& catalogue, const std::string& diff_script, logger& log)
{
    combo.ResetContent();
    int selected = -1;
    for (const auto& entry : catalogue.scripts.scripts()) {
        const std::string& name = entry.first;
        const int index = combo.AddString(name.c_str());
        if (utils::string_utils::compare_no_case(name, diff_script) == 0)
            selected = index;
        std::uint64_t prepared = 0;
        if (catalogue.statement_id(name, prepared))
            continue;
        std::string error;
        if (!catalogue.prepare_script(name, entry.second->text(), error))
            log.enqueue("Unable to prepare script " + name + ": " + error, 2);
    }
    combo.EnableWindow(combo.GetCount() == 1 ? FALSE : TRUE);
    combo.SetCurSel(selected < 0 ? 0 : selected);
}

bool select_diff_script(CComboBox& combo, fs::file_archive& catalogue, std::string& diff_script)
{
    const int selected = combo.GetCurSel();
    if (selected < 0)
        return false;
    CString text;
    combo.GetLBText(selected, text);
    std::uint64_t prepared = 0;
    if (!catalogue.statement_id(text.GetString(), prepared))
        return false;
    diff_script = text.GetString();
    catalogue.diff_script = diff_script;
    return true;
}

bool run_query_command(CWnd* parent, fs::file_archive& catalogue, logger& log)
{
    CSqlQueryDialog dialog(parent);
    for (const char* field : {"ID", "NAME", "FULL_PATH", "RELATIVE_PATH", "EXTENSION", "LAST_WRITE_TIME"})
        dialog.AddField(field);
    dialog.m_repository = &catalogue.scripts;
    for (const auto& entry : catalogue.scripts.scripts())
        dialog.m_script_names.push_back(entry.first);
    // An edited script takes effect at once: it replaces the statement of its name.
    dialog.m_apply = [&catalogue, &log](const std::string& name, const std::string& sql) {
        std::string error;
        if (!catalogue.prepare_script(name, sql, error, true))
            log.enqueue("Unable to prepare script " + name + ": " + error, 2);
    };
    dialog.m_report_error = [&log](const std::string& text) { log.enqueue(text, 2); };
    return dialog.DoModal() == IDOK;
}
