#pragma once
// Show statistics: counts, total sizes and time ranges of the two recorded trees, read from the
// catalogue, with the folders of each tree counted on disk.

#include "app/CommandHost.h"

#include <cstdint>
#include <string>

class CArchiveStatsDialog;

struct tree_statistics {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;
    std::int64_t newest = 0;  // seconds since 1970, 0 for none
    std::int64_t oldest = 0;
};

// The command over the host's catalogue and path fields.
bool show_statistics(command_host& host);

// Fills the dialog's texts; false (one ERROR line, no dialog to show) when a statement fails
// or a tree's folders could not all be counted.
bool fill_statistics(CArchiveStatsDialog& dialog, fs::file_archive& catalogue, const std::string& main_path,
                     const std::string& backup_path, logger& log);
// Fills and shows the dialog.
bool show_statistics(CWnd* parent, fs::file_archive& catalogue, const std::string& main_path,
                     const std::string& backup_path, logger& log);

// "1.18 MB (1,234,567 bytes)"
std::string format_total_size(std::uint64_t bytes);
// Local "%Y-%m-%d %H:%M:%S"; empty for 0 (no files).
std::string format_statistics_time(std::int64_t seconds);
