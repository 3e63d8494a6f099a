#pragma once
// Save log and Copy log to clipboard: the main window's log view, one item per line as the
// logger's line sink delivered it, written to a chosen text file or put on the clipboard.

#include "app/CommandHost.h"

#include <string>
#include <vector>

// The two commands over the host's log view, owned by the host's window.
bool save_log(command_host& host);
bool copy_log(command_host& host);

// Asks for a ".txt" file (no dialog when there are no lines) and writes the lines into it.
// False when cancelled or when the file could not be written (one ERROR line then).
bool save_log(const std::vector<std::string>& lines, CWnd* owner, logger& log);
// One line per item: a "\n" ends every item that has none, so lines never run together.
bool write_log_file(const std::vector<std::string>& lines, const std::string& path, logger& log);

// The items joined as lines; false when the clipboard could not be opened or filled.
bool copy_log(const std::vector<std::string>& lines, CWnd* owner, logger& log);
std::string log_as_text(const std::vector<std::string>& lines);
