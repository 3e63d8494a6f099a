#include "app/StatisticsCommand.h"

#include "app/ArchiveStatsDialog.h"
#include "app/GridAppearance.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "core/utils/string_utils.h"

#include <exception>

namespace {

const char* const main_statement =
    "select count(*), sum(size), max(last_write_time), min(last_write_time) from file";
const char* const backup_statement =
    "select count(*), sum(size), max(last_write_time), min(last_write_time) from backup where backup_id = ";

// The first row of the statement; false with SQLite's message when it fails.
bool first_row(fs::file_archive& catalogue, const std::string& sql, db::sqlite_db::record& row, std::string& error)
{
    try {
        auto position = catalogue.database.begin(sql);
        if (position != catalogue.database.end())
            row = position.values();
        position.release();
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

bool read_tree(fs::file_archive& catalogue, const std::string& sql, const std::string& root, const char* tree_name,
               tree_statistics& figures, logger& log)
{
    db::sqlite_db::record row;
    std::string error;
    if (!first_row(catalogue, sql, row, error)) {
        log.enqueue(std::string("Unable to retrieve statistics for ") + tree_name, logger::error);
        return false;
    }
    // A partial folder count would pass for the whole tree's.
    if (!catalogue.statistics(row, figures.files, figures.folders, figures.bytes, figures.newest, figures.oldest,
                              root, error)) {
        log.enqueue(error, logger::error);
        return false;
    }
    return true;
}

CString text_of(const std::string& text)
{
    return CString(text.c_str());
}

}  // namespace

bool show_statistics(command_host& host)
{
    return show_statistics(host.command_window(), host.command_archive(), host.main_path(), host.backup_path(),
                           host.command_log());
}

std::string format_total_size(std::uint64_t bytes)
{
    return utils::string_utils::format_size(bytes, 2) + " (" + GridAppearance::GroupDigits(bytes) + " bytes)";
}

std::string format_statistics_time(std::int64_t seconds)
{
    return seconds == 0 ? std::string() : GridAppearance::FormatTime(std::to_string(seconds));
}

bool fill_statistics(CArchiveStatsDialog& dialog, fs::file_archive& catalogue, const std::string& main_path,
                     const std::string& backup_path, logger& log)
{
    tree_statistics main_tree;
    tree_statistics backup_tree;
    if (!read_tree(catalogue, main_statement, main_path, "MAIN", main_tree, log))
        return false;
    if (!read_tree(catalogue, std::string(backup_statement) + "0", backup_path, "BACKUP", backup_tree, log))
        return false;
    dialog.m_main_caption = text_of("Main: " + main_path);
    dialog.m_main_files = text_of(std::to_string(main_tree.files));
    dialog.m_main_folders = text_of(std::to_string(main_tree.folders));
    dialog.m_main_size = text_of(format_total_size(main_tree.bytes));
    dialog.m_main_newest = text_of(format_statistics_time(main_tree.newest));
    dialog.m_main_oldest = text_of(format_statistics_time(main_tree.oldest));
    dialog.m_backup_caption = text_of("Backup: " + backup_path);
    dialog.m_backup_files = text_of(std::to_string(backup_tree.files));
    dialog.m_backup_folders = text_of(std::to_string(backup_tree.folders));
    dialog.m_backup_size = text_of(format_total_size(backup_tree.bytes));
    dialog.m_backup_newest = text_of(format_statistics_time(backup_tree.newest));
    dialog.m_backup_oldest = text_of(format_statistics_time(backup_tree.oldest));
    return true;
}

bool show_statistics(CWnd* parent, fs::file_archive& catalogue, const std::string& main_path,
                     const std::string& backup_path, logger& log)
{
    CArchiveStatsDialog dialog(parent);
    if (!fill_statistics(dialog, catalogue, main_path, backup_path, log))
        return false;
    dialog.DoModal();
    return true;
}
