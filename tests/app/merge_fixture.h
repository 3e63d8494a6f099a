#pragma once
// A main window stand-in for the merge command: two real folder trees, a real catalogue on the
// shipped schema and scripts, a real settings file, and a log that keeps every line. Message
// boxes and modal dialogs are answered by the test.

#include "app/MergeCommand.h"
#include "app/MergeFileDlg.h"
#include "app/ProgressDialog.h"
#include "app/settings_keys.h"
#include "core/config/settings.h"
#include "core/data/data_table.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "platform/base/dialog.h"
#include "platform/base/modal.h"

#include "support/temp_folder.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace merge_test {

inline std::string resource(const std::string& name)
{
    return (boost::filesystem::path(__FILE__).parent_path() / ".." / ".." / "resources" / name).string();
}

struct log_record {
    int type;  // -1 for a line written with operator<<
    std::string text;
};

class test_window : public merge_host {
public:
    CWnd* merge_window() override { return parent; }
    fs::file_archive& merge_archive() override { return archive; }
    config::settings& merge_settings() override { return settings; }
    std::string main_path() const override { return main; }
    std::string backup_path() const override { return backup_checked ? backup : std::string(); }
    bool custom_filter_active() const override { return custom_filter; }
    bool compare_folders() override
    {
        ++comparisons;
        std::string error;
        data::data_table* table = nullptr;
        archive.set_root(main);
        compared = archive.record_main_folder(error) && archive.record_backup_folder(backup_path(), table, error, 15);
        if (compared)
            roots = {main, backup_path()};
        else
            log.push_back({logger::error, error});
        return compared;
    }
    bool result_roots(merge_roots& built_from) const override
    {
        built_from = roots;
        return compared;
    }
    void log_line(const std::string& line) override { log.push_back({-1, line}); }
    void log_entry(const std::string& text, logger::level type) override { log.push_back({type, text}); }
    void repaint_grid() override { ++repaints; }
    void progress_stepped(CProgressDialog& progress) override
    {
        if (on_step)
            on_step(progress);
    }

    std::vector<std::string> texts(int type) const
    {
        std::vector<std::string> found;
        for (const log_record& record : log)
            if (record.type == type)
                found.push_back(record.text);
        return found;
    }
    bool logged(int type, const std::string& piece) const
    {
        return std::any_of(log.begin(), log.end(), [&](const log_record& record) {
            return record.type == type && record.text.find(piece) != std::string::npos;
        });
    }

    CWnd* parent = nullptr;
    fs::file_archive archive;
    config::xml_parameters settings;
    std::string main;
    std::string backup;
    bool backup_checked = true;
    bool custom_filter = false;
    bool compared = false;
    merge_roots roots;
    int comparisons = 0;
    int repaints = 0;
    std::vector<log_record> log;
    std::function<void(CProgressDialog&)> on_step;
};

class merge_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        boost::filesystem::create_directories(main_root);
        boost::filesystem::create_directories(backup_root);
        window.main = main_root.string();
        window.backup = backup_root.string();
        window.archive.database_file = folder.path().filename().string();
        window.archive.schema_file = resource("schema.sql");
        window.archive.set_root(window.main);
        window.archive.create_result_table(window.archive.result);
        std::string error;
        ASSERT_TRUE(window.archive.open_database(error, db::sqlite_db::memory_mode)) << error;
        ASSERT_TRUE(window.archive.load_scripts(resource("scripts.xml"), error)) << error;
        ASSERT_TRUE(window.settings.load(folder.write("settings.xml", "<?xml version=\"1.0\"?><Tarvoline/>").string()));
        // The handlers before (the toolkit's in a GUI suite) come back in TearDown.
        previous_message_box_ = platform::set_message_box_handler([this](const platform::message_box_request& request) {
            questions.push_back(request);
            const bool yes = answers.empty() ? true : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return yes ? IDYES : IDNO;
        });
        previous_modal_dialog_ = platform::set_modal_dialog_handler([this](CDialog& dialog) -> INT_PTR {
            auto* merge_dialog = dynamic_cast<CMergeFileDlg*>(&dialog);
            if (!merge_dialog)
                return IDCANCEL;
            ++dialogs_shown;
            const int button = on_dialog ? on_dialog(*merge_dialog) : IDCANCEL;
            merge_dialog->SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            return 0;
        });
        handlers_replaced_ = true;
    }
    void TearDown() override
    {
        if (handlers_replaced_) {
            platform::set_modal_dialog_handler(std::move(previous_modal_dialog_));
            platform::set_message_box_handler(std::move(previous_message_box_));
            handlers_replaced_ = false;
        }
        platform::forget_dialog_templates();
    }

    boost::filesystem::path write_main(const std::string& relative, const std::string& content,
                                       std::time_t time = 1600000000) const
    {
        return folder.write("main/" + relative, content, time);
    }
    boost::filesystem::path write_backup(const std::string& relative, const std::string& content,
                                         std::time_t time = 1600000000) const
    {
        return folder.write("backup/" + relative, content, time);
    }
    void set_conflict_rule(const std::string& rule)
    {
        ASSERT_TRUE(settings_keys::write_text(window.settings, settings_keys::on_conflict, rule));
    }
    std::size_t rows() const { return window.archive.result ? window.archive.result->rows.size() : 0; }
    // The kinds of the rows left, sorted.
    std::vector<std::string> kinds() const
    {
        std::vector<std::string> found;
        for (const data::data_row* row : window.archive.result->rows)
            found.push_back(row->get<std::string>("diff", std::string()));
        std::sort(found.begin(), found.end());
        return found;
    }
    static std::time_t modified(const boost::filesystem::path& file) { return boost::filesystem::last_write_time(file); }
    static std::string read(const boost::filesystem::path& file) { return test_support::temp_folder::read(file); }

    test_support::temp_folder folder;
    boost::filesystem::path main_root{folder.path() / "main"};
    boost::filesystem::path backup_root{folder.path() / "backup"};
    test_window window;
    merge_command merge{window};
    std::vector<platform::message_box_request> questions;
    std::vector<bool> answers;  // Yes when empty
    std::function<int(CMergeFileDlg&)> on_dialog;
    int dialogs_shown = 0;

private:
    platform::message_box_handler previous_message_box_;
    platform::modal_dialog_handler previous_modal_dialog_;
    bool handlers_replaced_ = false;
};

}  // namespace merge_test
