#include "app/MergeCommand.h"

#include "app/MergeFileDlg.h"
#include "app/OldCopy.h"
#include "app/ProgressDialog.h"
#include "app/settings_keys.h"
#include "core/config/settings.h"
#include "core/data/data_table.h"
#include "core/fs/file_presence.h"
#include "core/logger.h"
#include "core/utils/file_names.h"
#include "core/utils/string_utils.h"

#include <boost/filesystem.hpp>

#include <chrono>
#include <ctime>
#include <exception>
#include <functional>
#include <memory>
#include <sstream>

namespace bfs = boost::filesystem;
using fs::present;
using settings_keys::conflict_rule;

namespace {

bool same_words(const std::string& a, const char* b)
{
    return utils::string_utils::compare_no_case(a, b) == 0;
}

// A folder's text without "." and ".." steps or trailing separators, so that "/a/b/" is "/a/b"
// (normalising gives "/a/b/." for it). A folder whose own name ends in "." keeps it.
std::string folder_key(const std::string& folder)
{
    std::string text = bfs::path(folder).lexically_normal().string();
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "/.") == 0)
        text.resize(text.size() - 2);
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string local_time_text(std::time_t time)
{
    std::tm parts{};
    if (!::localtime_r(&time, &parts))
        return std::string();
    char text[32];
    return std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &parts) > 0 ? std::string(text) : std::string();
}

std::string system_error(const bfs::path& file, const boost::system::error_code& code)
{
    return "File " + file.string() + ": " + code.message();
}

void show_now(CProgressDialog& progress)
{
    progress.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

void merge_command::OnMergeRight()
{
    Merge(right, "Backup archive will be overwritten. Continue?");
}

void merge_command::OnMergeLeft()
{
    Merge(left, "Main archive will be overwritten. Continue?");
}

void merge_command::OnMergeBoth()
{
    Merge(both, "Archives will be synchronised. Continue?");
}

void merge_command::OnMergeAutomatic()
{
    if (AfxMessageBox("Archives will be automatically synchronised. Continue?", MB_YESNO | MB_ICONQUESTION) == IDYES)
        host_.log_line("Automatic merge: coming soon\n");
}

std::uint64_t merge_command::row_size(const data::data_row& row)
{
    const auto size = [&row](const char* key) { return row.get<std::uint64_t>(key, 0); };
    const std::string kind = row.get<std::string>("diff", std::string());
    if (kind == fs::file_archive::kind_missing_main)
        return size("backup_size");
    if (kind == fs::file_archive::kind_missing_backup)
        return size("file_size");
    if (kind == fs::file_archive::kind_size)
        return std::max(size("file_size"), size("backup_size"));
    if (kind == fs::file_archive::kind_time)
        return row.get<std::int64_t>("file_time", 0) > row.get<std::int64_t>("backup_time", 0) ? size("file_size")
                                                                                                : size("backup_size");
    return 0;
}

void merge_command::Merge(int direction, const std::string& question)
{
    if (direction != right && direction != left && direction != both) {
        host_.log_entry("Merge: unknown direction " + std::to_string(direction), logger::error);
        return;
    }
    // Checked before the question: without a backup folder every row would be rebuilt below
    // the file-system root.
    if (refuse_without_backup_folder("Merge"))
        return;
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // Pairs of an earlier merge are not presented again.
    put_off_.clear();
    if (!host_.custom_filter_active() && !host_.compare_folders()) {
        host_.log_entry("Merge: the comparison failed; nothing was merged", logger::error);
        return;
    }
    if (refuse_stale_table("Merge"))
        return;
    data::data_table* table = host_.merge_archive().result.get();
    if (!table) {
        host_.log_entry("Merge: there are no differences to merge", logger::error);
        return;
    }
    // A table that is not a table of differences (missing columns) fails the merge, not the program.
    try {
        merge_table(direction, *table);
    } catch (const std::exception& failure) {
        host_.log_entry(std::string("Merge: ") + failure.what(), logger::error);
    }
    host_.compare_folders();
}

void merge_command::merge_table(int direction, data::data_table& table)
{
    fs::file_archive& archive = host_.merge_archive();
    const std::string main_path = host_.main_path();
    const std::string backup_path = host_.backup_path();

    auto progress = std::make_unique<CProgressDialog>(host_.merge_window());
    progress->set_formatter(format_byte_count);
    std::uint64_t total = 0;
    for (const data::data_row* row : table.rows)
        total += row_size(*row);
    progress->progress().set_total(total);
    progress->m_total = progress->FormatBytes(total).c_str();
    progress->m_progress_bar.SendMessage(PBM_SETRANGE32, 0, static_cast<LPARAM>(progress->progress().maximum_position()));
    progress->UpdateData(FALSE);
    show_now(*progress);

    const conflict_rule setting = settings_keys::read_conflict_rule(host_.merge_settings());
    const fs::file_archive::chooser decide = choose_rule(direction, setting);
    const fs::file_archive::before_copy prepare = prepare_rule(direction, setting);
    CProgressDialog* shown = progress.get();
    const fs::file_archive::chooser rule = [this, direction, decide, shown](const bfs::path& main_side,
                                                                             const bfs::path& backup_side) {
        const bfs::path& stepped = direction == left ? backup_side : main_side;
        boost::system::error_code ignored;
        const std::uint64_t bytes = present(stepped) ? bfs::file_size(stepped, ignored) : 0;
        shown->Step(ignored ? 0 : bytes, stepped.filename().string().c_str());
        show_now(*shown);
        host_.progress_stepped(*shown);
        return decide(main_side, backup_side);
    };

    const std::string size = utils::string_utils::format_size(total, 2);
    if (direction == right)
        host_.log_line("Copying " + main_path + " to " + backup_path + " (" + size + ")\n");
    else if (direction == left)
        host_.log_line("Copying " + backup_path + " to " + main_path + " (" + size + ")\n");
    else
        host_.log_line("Synchronising " + main_path + " and " + backup_path + " both ways (" + size + ")\n");

    fs::copy_counts counters;
    std::string errors;
    const auto started = std::chrono::steady_clock::now();
    archive.merge_rows(backup_path, table, &counters, rule, errors, prepare);
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started).count()
        / 1000000;
    log_errors(errors);
    host_.log_line(std::to_string(table.rows.size()) + " difference(s) merged in " + std::to_string(elapsed)
                   + " millseconds\n");
    // Nothing to move is all of it moved.
    if (total == 0) {
        progress->m_progress_bar.SetPos(static_cast<int>(progress->progress().maximum_position()));
        show_now(*progress);
    }

    if (setting == conflict_rule::put_off && !put_off_.empty()) {
        const std::string conflicts = "Conflicts detected: " + std::to_string(put_off_.size()) + ". Continue?";
        if (AfxMessageBox(conflicts.c_str(), MB_YESNO | MB_ICONHAND) == IDYES) {
            for (const file_pair& pair : put_off_) {
                if (!present(pair.first) || !present(pair.second)) {
                    host_.log_entry("Merge: " + (present(pair.first) ? pair.second : pair.first).string()
                                        + " no longer exists; " + pair.first.string() + " and " + pair.second.string()
                                        + " not merged",
                                    logger::error);
                    continue;
                }
                MergeFile(pair.first, pair.second);
            }
        }
    }
}

fs::file_archive::chooser merge_command::choose_rule(int direction, conflict_rule setting)
{
    using std::placeholders::_1;
    using std::placeholders::_2;
    // Force copies whatever is there; the catalogue still keeps a file changed since the comparison.
    const auto force = [](int decision) {
        return [decision](const bfs::path&, const bfs::path&) { return decision; };
    };
    if (direction == right) {
        if (setting == conflict_rule::force)
            return force(1);
        if (setting == conflict_rule::rename)
            return std::bind(&merge_command::ReplaceRightKeepingOld, this, _1, _2);
        return std::bind(&merge_command::CopyMissingRight, this, _1, _2);
    }
    if (direction == left) {
        if (setting == conflict_rule::force)
            return force(-1);
        if (setting == conflict_rule::rename)
            return std::bind(&merge_command::ReplaceLeftKeepingOld, this, _1, _2);
        return std::bind(&merge_command::CopyMissingLeft, this, _1, _2);
    }
    if (setting == conflict_rule::ask)
        return std::bind(&merge_command::SynchroniseAsking, this, _1, _2);
    if (setting == conflict_rule::put_off)
        return std::bind(&merge_command::SynchronisePuttingOff, this, _1, _2);
    if (setting == conflict_rule::ignore)
        return [](const bfs::path&, const bfs::path&) { return 0; };
    return std::bind(&merge_command::SynchronisePair, this, _1, _2);
}

fs::file_archive::before_copy merge_command::prepare_rule(int direction, conflict_rule setting)
{
    // Both ways, Force and Rename are "anything else": the default rule.
    const bool keep_old = direction != both && setting == conflict_rule::rename;
    const bool log_copy = direction == both || setting != conflict_rule::force;
    return [this, keep_old, log_copy](const bfs::path& source, const bfs::path& target, bool replacing,
                                      std::string& error, int& code) {
        if (replacing)
            return !keep_old || keep_old_version(target, error, code);
        if (log_copy)
            host_.log_line("Copy " + source.string() + " to " + target.string() + "\n");
        return true;
    };
}

int merge_command::CopyMissingRight(const bfs::path& main_side, const bfs::path& backup_side)
{
    return present(main_side) && !present(backup_side) ? 1 : 0;
}

int merge_command::ReplaceRightKeepingOld(const bfs::path& main_side, const bfs::path&)
{
    return present(main_side) ? 1 : 0;
}

int merge_command::CopyMissingLeft(const bfs::path& main_side, const bfs::path& backup_side)
{
    return !present(main_side) && present(backup_side) ? -1 : 0;
}

int merge_command::ReplaceLeftKeepingOld(const bfs::path&, const bfs::path& backup_side)
{
    return present(backup_side) ? -1 : 0;
}

int merge_command::SynchronisePair(const bfs::path& main_side, const bfs::path& backup_side)
{
    const bool main_exists = present(main_side);
    const bool backup_exists = present(backup_side);
    if (!main_exists || !backup_exists)
        return one_sided_copy(main_exists, backup_exists);

    boost::system::error_code failure;
    const std::uint64_t main_size = bfs::file_size(main_side, failure);
    const std::time_t main_time = failure ? 0 : bfs::last_write_time(main_side, failure);
    if (failure) {
        host_.log_entry(system_error(main_side, failure), logger::error);
        return 0;
    }
    const std::uint64_t backup_size = bfs::file_size(backup_side, failure);
    const std::time_t backup_time = failure ? 0 : bfs::last_write_time(backup_side, failure);
    if (failure) {
        host_.log_entry(system_error(backup_side, failure), logger::error);
        return 0;
    }
    int result = 0;
    std::string message;
    if (main_size > backup_size) {
        result = 1;
        message = "File " + main_side.string() + " larger than " + backup_side.string();
    } else if (main_size < backup_size) {
        result = -1;
        message = "File " + backup_side.string() + " larger than " + main_side.string();
    }
    // Time beats size: the newer file wins whatever the sizes say.
    if (main_time > backup_time) {
        result = 1;
        message = "File " + main_side.string() + " newer than " + backup_side.string();
    } else if (main_time < backup_time) {
        result = -1;
        message = "File " + backup_side.string() + " newer than " + main_side.string();
    }
    if (!message.empty())
        host_.log_entry(message, logger::info);
    return result;
}

int merge_command::SynchroniseAsking(const bfs::path& main_side, const bfs::path& backup_side)
{
    const bool main_exists = present(main_side);
    const bool backup_exists = present(backup_side);
    if (main_exists && backup_exists) {
        MergeFile(main_side, backup_side);
        return 0;
    }
    return one_sided_copy(main_exists, backup_exists);
}

int merge_command::SynchronisePuttingOff(const bfs::path& main_side, const bfs::path& backup_side)
{
    const bool main_exists = present(main_side);
    const bool backup_exists = present(backup_side);
    if (main_exists && backup_exists) {
        host_.log_line("Merge " + main_side.string() + " and " + backup_side.string() + " delayed\n");
        put_off_.emplace_back(main_side, backup_side);
        return 0;
    }
    return one_sided_copy(main_exists, backup_exists);
}

int merge_command::one_sided_copy(bool main_exists, bool backup_exists)
{
    if (main_exists)
        return 1;
    if (backup_exists)
        return -1;
    return 0;
}

void merge_command::MergeFile(const bfs::path& main_file, const bfs::path& backup_file)
{
    for (const bfs::path* file : {&main_file, &backup_file}) {
        if (!present(*file)) {
            host_.log_entry("Merge file: " + file->string() + " does not exist", logger::error);
            return;
        }
    }
    boost::system::error_code failure;
    std::uint64_t sizes[2] = {0, 0};
    std::time_t times[2] = {0, 0};
    const bfs::path* files[2] = {&main_file, &backup_file};
    for (int side = 0; side < 2; ++side) {
        sizes[side] = bfs::file_size(*files[side], failure);
        if (!failure)
            times[side] = bfs::last_write_time(*files[side], failure);
        if (failure) {
            host_.log_entry(system_error(*files[side], failure), logger::error);
            return;
        }
    }
    fs::file_archive& archive = host_.merge_archive();
    config::settings& settings = host_.merge_settings();

    CMergeFileDlg dialog(host_.merge_window());
    dialog.m_better_background = settings_keys::read_colour(settings, settings_keys::merge_better_background);
    dialog.m_worse_background = settings_keys::read_colour(settings, settings_keys::merge_worse_background);
    dialog.m_better_foreground = settings_keys::read_colour(settings, settings_keys::merge_better_foreground);
    dialog.m_worse_foreground = settings_keys::read_colour(settings, settings_keys::merge_worse_foreground);
    dialog.m_kind = archive.difference_kind(main_file, backup_file).c_str();
    dialog.m_size_choice = sizes[0] > sizes[1] ? -1 : sizes[0] < sizes[1] ? 1 : 0;
    dialog.m_time_choice = times[0] > times[1] ? -1 : times[0] < times[1] ? 1 : 0;
    dialog.m_name = main_file.filename().string().c_str();
    dialog.m_main_folder = main_file.parent_path().string().c_str();
    dialog.m_backup_folder = backup_file.parent_path().string().c_str();
    dialog.m_main_time = local_time_text(times[0]).c_str();
    dialog.m_backup_time = local_time_text(times[1]).c_str();
    dialog.m_main_size = format_byte_count(std::to_string(sizes[0])).c_str();
    dialog.m_backup_size = format_byte_count(std::to_string(sizes[1])).c_str();

    const INT_PTR choice = dialog.DoModal();
    // A dialog that could not be built answers -1 too; only a choice the user made counts.
    if (!dialog.has_ended() || (choice != 1 && choice != -1))
        return;
    fs::copy_counts counters;
    std::string error;
    const int decision = static_cast<int>(choice);
    if (!archive.copy_with_choice(main_file, backup_file, &counters,
                                  [decision](const bfs::path&, const bfs::path&) { return decision; }, error))
        host_.log_entry(error.empty() ? "Merge file: " + main_file.string() + " and " + backup_file.string()
                                            + " not merged"
                                      : error,
                        logger::error);
}

void merge_command::MergeRow(long row)
{
    if (refuse_without_backup_folder("Merge row") || refuse_stale_table("Merge row"))
        return;
    fs::file_archive& archive = host_.merge_archive();
    data::data_table* table = archive.result.get();
    if (!table || row < 0 || static_cast<std::uint64_t>(row) >= table->rows.size()) {
        host_.log_entry("Merge row: there is no row " + std::to_string(row + 1), logger::error);
        return;
    }
    try {
        const data::data_row record = *table->rows[static_cast<std::size_t>(row)];
        const std::string kind = record.get<std::string>("diff", std::string());
        const std::string file_name = record.get<std::string>("file_name", std::string());
        const std::string file_folder = record.get<std::string>("file_fullpath", std::string());
        const std::string backup_folder = record.get<std::string>("backup_fullpath", std::string());
        const bool main_missing = same_words(kind, fs::file_archive::kind_missing_main);
        const bool backup_missing = same_words(kind, fs::file_archive::kind_missing_backup);
        if (main_missing || backup_missing) {
            const bfs::path source = main_missing
                                         ? bfs::path(backup_folder) / record.get<std::string>("backup_name", std::string())
                                         : bfs::path(file_folder) / file_name;
            if (!present(source)) {
                host_.log_entry("Merge row: " + source.string() + " does not exist", logger::error);
            } else {
                const int decision = main_missing ? -1 : 1;
                // One side was missing at the comparison: the catalogue keeps a file that appeared there since.
                const auto rule = [decision](const bfs::path&, const bfs::path&) { return decision; };
                fs::copy_counts counters;
                std::string error;
                if (!archive.merge_row(host_.backup_path(), record, &counters, rule, error))
                    host_.log_entry(error, logger::error);
                else if (counters.files_copied > 0)
                    table->remove_row(static_cast<std::uint64_t>(row) + 1);
                else
                    host_.log_entry("Merge row: nothing was copied for " + source.string(), logger::error);
            }
            host_.repaint_grid();
        } else {
            MergeFile(bfs::path(file_folder) / file_name, bfs::path(backup_folder) / file_name);
            host_.repaint_grid();
        }
    } catch (const std::exception& failure) {
        host_.log_entry(std::string("Merge row: ") + failure.what(), logger::error);
        return;
    }
    host_.log_line(std::to_string(table->rows.size()) + " difference(s) remaining\n");
}

bool merge_command::refuse_without_backup_folder(const std::string& command)
{
    std::string backup = host_.backup_path();
    utils::string_utils::trim_left(backup);
    utils::string_utils::trim_right(backup);
    if (!backup.empty())
        return false;
    host_.log_entry(command + ": no backup folder is selected; nothing was merged", logger::error);
    return true;
}

bool merge_command::refuse_stale_table(const std::string& command)
{
    merge_roots roots;
    const bool current = host_.result_roots(roots) && folder_key(roots.main) == folder_key(host_.main_path())
                         && folder_key(roots.backup) == folder_key(host_.backup_path())
                         && folder_key(host_.merge_archive().root().string()) == folder_key(host_.main_path());
    if (current)
        return false;
    host_.log_entry(command + ": the differences shown were not made for the current folders; compare them again",
                    logger::error);
    return true;
}

bool merge_command::keep_old_version(const bfs::path& file, std::string& error, int& code)
{
    try {
        const std::time_t now = std::time(nullptr);
        const bfs::path copy = utils::make_timestamped_name(file, &now);
        // Mock copy writes nothing into the trees: the line says what would be copied.
        if (host_.merge_archive().mock_copy) {
            host_.log_line("Copy " + file.string() + " to " + copy.string() + "\n");
            return true;
        }
        return copy_old_version(file, copy, error, code);
    } catch (const std::exception& failure) {
        error = "Unable to keep the old version of " + file.string() + ": " + failure.what();
        code = 0;
        return false;
    }
}

void merge_command::log_errors(const std::string& lines)
{
    std::istringstream text(lines);
    std::string line;
    while (std::getline(text, line))
        if (!line.empty())
            host_.log_entry(line, logger::error);
}
