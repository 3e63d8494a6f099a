#pragma once
// What the command tests share: a host for the command families, the log lines a command
// wrote, and answers to the pickers and modal dialogs it opens, restored when the test ends.

#include "app/CommandHost.h"
#include "core/logger.h"
#include "platform/base/dialog.h"
#include "platform/base/dialog_controls.h"
#include "platform/base/modal.h"
#include "platform/base/shell_dialogs.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace command_test {

// The main window's part, over a test's own settings, logger, catalogue and grid: no window owns
// the dialogs, the path fields and the log view are empty, and of the window's operations only
// the comparisons are counted. Commands run without the barrier, so a test sees what they throw.
class host : public command_host {
public:
    host(config::settings& store, logger& log, fs::file_archive& catalogue, CDataGridCtrl& grid)
        : store_(store), log_(log), catalogue_(catalogue), grid_(grid)
    {
    }

    CWnd* command_window() override { return nullptr; }
    logger& command_log() override { return log_; }
    config::settings& command_settings() override { return store_; }
    fs::file_archive& command_archive() override { return catalogue_; }
    CDataGridCtrl& command_grid() override { return grid_; }
    std::string main_path() const override { return std::string(); }
    std::string backup_path() const override { return std::string(); }
    std::vector<std::string> log_view_lines() const override { return {}; }
    CComboBox& scripts_combo() override { return combo; }
    void run_comparison() override { ++comparisons; }
    void merge_row(std::uint64_t) override {}
    void show_context_menu(long, long) override {}
    void run_command(const std::function<void()>& fn) override { fn(); }

    int comparisons = 0;
    CComboBox combo;

private:
    config::settings& store_;
    logger& log_;
    fs::file_archive& catalogue_;
    CDataGridCtrl& grid_;
};

// A real logger whose lines are kept as "TYPE text" (the priority and the newline cut off).
class captured_log {
public:
    captured_log()
    {
        log.set_line_sink([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        });
    }
    // Every line logged so far; the logger takes no lines after this.
    std::vector<std::string> lines()
    {
        log.stop();
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> plain;
        for (std::string line : lines_) {
            const auto bar = line.find('|');
            const auto end = line.find("] ");
            if (line.rfind("[", 0) == 0 && bar != std::string::npos && end != std::string::npos)
                line = line.substr(1, bar - 1) + " " + line.substr(end + 2);
            while (!line.empty() && line.back() == '\n')
                line.pop_back();
            plain.push_back(line);
        }
        return plain;
    }

private:
    // Before the logger: its worker may still deliver lines while it stops.
    std::mutex mutex_;
    std::vector<std::string> lines_;

public:
    logger log;
};

// Answers every file picker with `path` (empty: Cancel) and keeps the requests.
class file_picker_answer {
public:
    explicit file_picker_answer(std::string path) : path_(std::move(path))
    {
        previous_ = platform::set_file_dialog_handler([this](const platform::file_dialog_request& request, CString& chosen) {
            requests.push_back(request);
            chosen = path_.c_str();
            return !path_.empty();
        });
    }
    ~file_picker_answer() { platform::set_file_dialog_handler(previous_); }
    file_picker_answer(const file_picker_answer&) = delete;
    file_picker_answer& operator=(const file_picker_answer&) = delete;

    std::vector<platform::file_dialog_request> requests;

private:
    std::string path_;
    platform::file_dialog_handler previous_;
};

// Runs `act` on every modal dialog instead of a user.
class modal_answer {
public:
    explicit modal_answer(platform::modal_dialog_handler act)
    {
        previous_ = platform::set_modal_dialog_handler(std::move(act));
    }
    ~modal_answer() { platform::set_modal_dialog_handler(previous_); }
    modal_answer(const modal_answer&) = delete;
    modal_answer& operator=(const modal_answer&) = delete;

private:
    platform::modal_dialog_handler previous_;
};

// Answers every message box with `answer` and keeps the texts asked.
class message_box_answer {
public:
    explicit message_box_answer(int answer)
    {
        previous_ = platform::set_message_box_handler([this, answer](const platform::message_box_request& request) {
            texts.push_back(request.text.GetString());
            return answer;
        });
    }
    ~message_box_answer() { platform::set_message_box_handler(previous_); }
    message_box_answer(const message_box_answer&) = delete;
    message_box_answer& operator=(const message_box_answer&) = delete;

    std::vector<std::string> texts;

private:
    platform::message_box_handler previous_;
};

}  // namespace command_test
