#pragma once
// The scripts combo box (which script compares the trees) and the Query command that opens the
// query interface over the catalogue's scripts repository.

#include <string>

class CComboBox;
class CWnd;
class logger;
namespace fs {
class file_archive;
}

constexpr int IDC_SCRIPTS_COMBO = 1118;

// Lists the repository's scripts in name order, prepares each one not yet prepared (a script
// that doesn't compile is one ERROR line; the others still load) and selects the diff script.
// A single script leaves the box disabled.
void fill_scripts_combo(CComboBox& combo, fs::file_archive& catalogue, const std::string& diff_script, logger& log);

// The selected script becomes the diff script (`diff_script` and the catalogue's) when it is
// prepared; nothing is compared until the next Go. False when nothing changed.
bool select_diff_script(CComboBox& combo, fs::file_archive& catalogue, std::string& diff_script /*in, out*/);

// Query: true when the dialog ended with Run; the caller then fills the combo box again.
bool run_query_command(CWnd* parent, fs::file_archive& catalogue, logger& log);
