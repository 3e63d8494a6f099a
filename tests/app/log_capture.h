#pragma once
// A logger whose lines a test reads back once everything queued has been written.

#include "core/logger.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

class log_capture {
public:
    log_capture()
    {
        log.set_line_sink([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        });
    }

    // The worker may still be writing into the members below the logger.
    ~log_capture() { log.stop(); }
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    // Writes what is queued and ends the logger; the lines are then final.
    std::vector<std::string> lines()
    {
        log.stop();
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // The texts of the lines of one type ("INFO", "ERROR"), without the "[TYPE|PRIORITY] " head.
    std::vector<std::string> texts(const std::string& type)
    {
        std::vector<std::string> found;
        for (const std::string& line : lines()) {
            if (line.rfind("[" + type + "|", 0) != 0)
                continue;
            std::string text = line.substr(line.find("] ") + 2);
            if (!text.empty() && text.back() == '\n')
                text.pop_back();
            found.push_back(text);
        }
        return found;
    }

    logger log;

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};
