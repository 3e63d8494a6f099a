#pragma once
// Log lines on their way from the logger's worker to the log view. The worker only queues a
// line and, when the queue was empty, asks for one delivery; it never waits for the window.

#include <mutex>
#include <string>
#include <vector>

class LogLineQueue {
public:
    // Any thread. True when the queue was empty, i.e. a delivery must be asked for.
    bool push(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
        return m_lines.size() == 1;
    }
    // The UI thread: every queued line, in arrival order.
    std::vector<std::string> take_all()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> lines;
        lines.swap(m_lines);
        return lines;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};
