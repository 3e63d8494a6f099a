#pragma once
// Commands for external programs. A command is an argument vector handed to the program as it
// stands (no shell ever reads it), together with the quoted command-line text the user sees in
// "Run as" and in the "Running " log line. The text is only shown, never parsed again. The
// platform's process launcher starts them.

#include <string>
#include <vector>

namespace external_command {

struct command {
    std::string text;
    std::vector<std::string> arguments;  // the program first
};

// [program, file]; text "\"program\" \"file\"".
command open_file(const std::string& program, const std::string& file);
// [program, options split at blanks with double quotes grouping, file];
// text "\"program\" options \"file\"".
command open_with(const std::string& program, const std::string& options, const std::string& file);
// The tool text is a command line whose last two "?" are the placeholders, found before any path
// is put in: the first takes the backup file, the second the main file. False (nothing composed)
// when the text holds fewer than two.
bool compare_files(const std::string& tool, const std::string& backup_file, const std::string& main_file,
                   command& composed /*out*/);

} // namespace external_command
