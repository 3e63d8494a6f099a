#pragma once
// The main window started as the program starts it: in a temporary working folder holding the
// shipped settings, schema and scripts, with a main and a backup tree beside them.
//
// main:   same.txt, only-main.txt, size.txt (3 bytes), time.txt (new time)
// backup: same.txt, size.txt (6 bytes), time.txt (old time), only-backup.txt
// Mask 15 gives one row of each kind: BACKUP, SIZE, TIME, FILE.

#include "app/TarvolineDlg.h"

#include "platform/base/modal.h"
#include "support/temp_folder.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifndef TARVOLINE_RESOURCES
#define TARVOLINE_RESOURCES "resources"
#endif

class main_window_fixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace bfs = boost::filesystem;
        previous_folder = bfs::current_path();
        for (const char* name : {"settings.xml", "schema.sql", "scripts.xml"})
            bfs::copy_file(bfs::path(TARVOLINE_RESOURCES) / name, folder.path() / name);
        bfs::create_directories(folder.path() / "logs");
        bfs::current_path(folder.path());
        folder.write("main/same.txt", "same", 1600000000);
        folder.write("main/only-main.txt", "main", 1600000000);
        folder.write("main/size.txt", "abc", 1600000000);
        folder.write("main/time.txt", "time", 1700000000);
        folder.write("backup/same.txt", "same", 1600000000);
        folder.write("backup/size.txt", "abcdef", 1600000000);
        folder.write("backup/time.txt", "time", 1600000000);
        folder.write("backup/only-backup.txt", "backup", 1600000000);
        previous_answer = platform::set_message_box_handler([this](const platform::message_box_request& request) {
            questions.push_back(request.text.GetString());
            return answer;
        });
    }
    void TearDown() override
    {
        window.reset();
        platform::deliver_posted_messages();
        platform::set_message_box_handler(previous_answer);
        boost::filesystem::current_path(previous_folder);
    }

    std::string settings_path() const { return (folder.path() / "settings.xml").string(); }
    std::string settings_text() const { return test_support::temp_folder::read(settings_path()); }
    // Replaces one piece of the settings file before the window opens.
    void edit_settings(const std::string& from, const std::string& to)
    {
        std::string text = settings_text();
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        folder.write("settings.xml", text);
    }
    void set_paths_in_settings()
    {
        edit_settings("<Main></Main>", "<Main>" + main_root() + "</Main>");
        edit_settings("<Backup></Backup>", "<Backup>" + backup_root() + "</Backup>");
    }
    std::string main_root() const { return (folder.path() / "main").string(); }
    std::string backup_root() const { return (folder.path() / "backup").string(); }

    void open()
    {
        window = std::make_unique<CTarvolineDlg>();
        window->set_settings_file("./settings.xml");
        ASSERT_TRUE(window->Create(IDD_TARVOLINE_DIALOG));
    }

    std::vector<std::string> log_lines() const
    {
        std::vector<std::string> lines;
        for (int index = 0; index < window->log_view().GetCount(); ++index) {
            CString text;
            window->log_view().GetText(index, text);
            lines.push_back(text.GetString());
        }
        return lines;
    }
    // Lets the logger's worker deliver until a line holds text, or ten seconds have passed.
    bool wait_for_line(const std::string& text)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            platform::deliver_posted_messages();
            if (logged(text))
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::yield();
        }
    }
    bool logged(const std::string& text) const
    {
        const std::vector<std::string> lines = log_lines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }
    // Everything queued so far has reached the view: a marker line queued last has arrived.
    void flush_log()
    {
        const std::string marker = "-- marker " + std::to_string(++markers) + " --";
        window->log().enqueue(marker, logger::debug);
        ASSERT_TRUE(wait_for_line(marker));
    }

    void command(UINT id, UINT code = 0, HWND control = nullptr)
    {
        window->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                            reinterpret_cast<LPARAM>(control));
    }
    // Puts text in a path field and moves the focus away, as a user typing it would.
    void type_path(int id, const std::string& text)
    {
        CWnd* field = window->GetDlgItem(id);
        ASSERT_NE(field, nullptr);
        field->SetWindowText(text.c_str());
        command(static_cast<UINT>(id), EN_KILLFOCUS, field);
    }
    std::string text_of(int id) const
    {
        CString text;
        window->GetDlgItem(id)->GetWindowText(text);
        return text.GetString();
    }
    // The kinds of the rows on show, sorted.
    std::vector<std::string> kinds() const
    {
        std::vector<std::string> found;
        for (const data::data_row* row : window->archive().result->rows)
            found.push_back(row->cells[10]);
        std::sort(found.begin(), found.end());
        return found;
    }

    test_support::temp_folder folder;
    boost::filesystem::path previous_folder;
    std::unique_ptr<CTarvolineDlg> window;
    platform::message_box_handler previous_answer;
    std::vector<std::string> questions;
    int answer = IDYES;
    int markers = 0;
};
