#pragma once
// The Merge menu and the single-file merge: the direction, the conflict rule that decides per
// pair of files, the progress dialog, the log lines, the put-off conflicts and the comparison
// afterwards. The catalogue does the walk and the copies; the main window is reached only
// through merge_host, so everything here runs (and is tested) without the window.

#include "app/settings_keys.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"

#include "platform/base/window.h"

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <list>
#include <string>
#include <utility>

class CProgressDialog;

namespace config {
class settings;
}
namespace data {
class data_row;
class data_table;
}

// The roots a table of differences was built from.
struct merge_roots {
    std::string main;
    std::string backup;
};

// What a merge needs of the main window.
class merge_host {
public:
    virtual ~merge_host() = default;

    // Owner of the progress and single-file dialogs.
    virtual CWnd* merge_window() = 0;
    virtual fs::file_archive& merge_archive() = 0;
    virtual config::settings& merge_settings() = 0;
    // The path fields' texts; the backup path is empty while the "Backup folder" box is clear.
    virtual std::string main_path() const = 0;
    virtual std::string backup_path() const = 0;
    virtual bool custom_filter_active() const = 0;
    // CompareFolders with the current filter mask; false when the comparison failed.
    virtual bool compare_folders() = 0;
    // The roots that built the catalogue's result table (by a comparison, a custom filter or a
    // Load); false when the table stands for no roots (none built, or its comparison failed).
    virtual bool result_roots(merge_roots& roots /*out*/) const = 0;
    // logger::operator<< with a complete line, and logger::enqueue.
    virtual void log_line(const std::string& line) = 0;
    virtual void log_entry(const std::string& text, logger::level type) = 0;
    virtual void repaint_grid() {}
    // After each progress step, with the dialog already showing it.
    virtual void progress_stepped(CProgressDialog& /*progress*/) {}
};

class merge_command {
public:
    using file_pair = std::pair<boost::filesystem::path, boost::filesystem::path>;
    enum direction : int { right = 0, left = 1, both = 2 };

    explicit merge_command(merge_host& host) : host_(host) {}
    merge_command(const merge_command&) = delete;
    merge_command& operator=(const merge_command&) = delete;

    // The Merge menu.
    void OnMergeRight();
    void OnMergeLeft();
    void OnMergeBoth();
    void OnMergeAutomatic();

    void Merge(int direction, const std::string& question);
    // The dialog for one pair present on both sides; the copy, if the user chooses one, is made
    // at once.
    void MergeFile(const boost::filesystem::path& main_file, const boost::filesystem::path& backup_file);
    // A double click on a result row (row counted from 0).
    void MergeRow(long row);

    // The decision members: main-side path first, backup side second; +1 copies main onto
    // backup, -1 backup onto main, 0 nothing. The catalogue then checks the pair; the keep-old
    // copy of the Rename rules and the copy lines are made after its checks (prepare_rule).
    int CopyMissingRight(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int ReplaceRightKeepingOld(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int CopyMissingLeft(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int ReplaceLeftKeepingOld(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int SynchronisePair(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int SynchroniseAsking(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);
    int SynchronisePuttingOff(const boost::filesystem::path& main_side, const boost::filesystem::path& backup_side);

    // The bytes a result row is expected to move, for the progress total.
    static std::uint64_t row_size(const data::data_row& row);

    const std::list<file_pair>& put_off() const { return put_off_; }

private:
    // Everything of a merge from the progress dialog to the put-off conflicts.
    void merge_table(int direction, data::data_table& table);
    bool refuse_without_backup_folder(const std::string& command);
    bool refuse_stale_table(const std::string& command);
    fs::file_archive::chooser choose_rule(int direction, settings_keys::conflict_rule conflict_setting);
    // What a rule does once the catalogue has let a copy through: the keep-old copy of a file
    // about to be replaced (Rename one way), the copy line of a file copied where none was.
    fs::file_archive::before_copy prepare_rule(int direction, settings_keys::conflict_rule conflict_setting);
    bool keep_old_version(const boost::filesystem::path& file, std::string& error /*out*/, int& code /*out*/);
    // The copy from whichever side holds the file, when only one does; 0 when neither.
    static int one_sided_copy(bool main_exists, bool backup_exists);
    void log_errors(const std::string& lines);

    merge_host& host_;
    std::list<file_pair> put_off_;
};
