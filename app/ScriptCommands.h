#pragma once
// The scripts combo box (which script compares the trees) and the Query command that opens the
// query interface over the catalogue's scripts repository.

#include "app/CommandHost.h"

#include "core/utils/string_utils.h"

#include <set>
#include <string>

constexpr int IDC_SCRIPTS_COMBO = 1118;

// The scripts whose failure to prepare has been logged: ScriptCommands keeps one set for its life,
// so that each failure is one ERROR line however often the box is filled.
using reported_scripts = std::set<std::string, utils::string_utils::less_no_case>;

// Lists the repository's prepared scripts in name order, preparing each one not yet prepared;
// a script that doesn't compile is not offered, and its error is logged once (the others still
// load). Selects the diff script, or nothing when it isn't listed. One script or none leaves
// the box disabled.
void fill_scripts_combo(CComboBox& combo, fs::file_archive& catalogue, const std::string& diff_script, logger& log,
                        reported_scripts& reported /*in, out*/);

// The selected script becomes the diff script (`diff_script` and the catalogue's) when it is
// prepared; nothing is compared until the next Go. False when nothing changed, and the box then
// shows the diff script in use again.
bool select_diff_script(CComboBox& combo, fs::file_archive& catalogue, std::string& diff_script /*in, out*/);

// Query: true when the dialog ended with Run; the caller then fills the combo box again.
bool run_query_command(CWnd* parent, fs::file_archive& catalogue, logger& log, reported_scripts& reported /*in, out*/);

// The scripts combo box and Query over the host's combo box and catalogue. The diff script in
// use is the catalogue's own.
class ScriptCommands {
public:
    explicit ScriptCommands(command_host& host) : m_host(host) {}

    void FillCombo();
    // The selection in the combo box becomes the diff script.
    bool SelectDiffScript();
    // The combo box is filled again when the dialog ended with Run.
    bool Query();

private:
    command_host& m_host;
    reported_scripts m_reported;
};
