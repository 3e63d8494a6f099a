#pragma once
// The program's one log. Any thread hands it messages; the logger's own worker thread formats
// them and writes them to the log file and to the two sinks, so no caller waits on the disk.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <functional>
#include <mutex>
#include <queue>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

class logger {
public:
    // The message types; each is the index of the word a line shows for it.
    enum level : int { info = 0, warning = 1, error = 2, debug = 3 };

    struct entry {
        std::string text;
        std::int32_t priority = 2;
        std::int32_t type = info;
        // Place in the order of queuing: a plain priority queue would mix up equal priorities.
        std::uint64_t sequence = 0;
    };

    using sink = std::function<void(const std::string&)>;

    logger();
    // Writes what is still queued; never throws.
    virtual ~logger();
    logger(const logger&) = delete;
    logger& operator=(const logger&) = delete;
    logger(logger&&) = delete;
    logger& operator=(logger&&) = delete;

    // Starts the worker and returns once its loop has begun. Does nothing while the worker runs
    // (there is only ever one) and once stopped: the logger is never restarted.
    virtual void start();
    // Writes everything queued so far, ends the worker, then flushes and closes the file.
    void stop();

    bool open(const std::string& path);
    void set_time_format(const std::string& format);
    void set_echo(bool echo);
    // Sinks run on the worker thread; once a setter returns, the previous sink is no longer
    // running and is never called again. A sink must not wait for the thread that sets it, nor
    // change the logger's settings (the worker holds their lock while a sink runs).
    void set_error_sink(sink error_sink);
    void set_line_sink(sink line_sink);

    // `type` is a level: info "INFO", warning "WARINING", error "ERROR" or debug "DEBUG"; any
    // other number is refused.
    void enqueue(const std::string& text, int type);

    // Collects pieces per thread and queues one INFO entry as soon as the text holds a newline.
    template <typename T>
    logger& operator<<(const T& value)
    {
        std::ostringstream& buffer = line_buffer();
        buffer << value;
        // A piece the stream refuses (a null C string) would leave it bad and drop every later
        // line of this thread.
        if (!buffer)
            buffer.clear();
        queue_if_complete();
        return *this;
    }

private:
    struct later_in_queue {
        bool operator()(const entry& a, const entry& b) const
        {
            if (a.priority != b.priority)
                return a.priority < b.priority;
            return a.sequence > b.sequence;
        }
    };

    void run();
    void push(entry&& item);
    std::vector<entry> wait_for_batch();
    bool drained();
    void signal_loop_begun();
    void write_batch(const std::vector<entry>& batch);
    std::string make_line(const entry& item) const;
    std::ostringstream& line_buffer();
    void queue_if_complete();

    // Guarded by queue_mutex_.
    std::priority_queue<entry, std::vector<entry>, later_in_queue> pending_;
    std::uint64_t next_sequence_ = 0;
    bool wake_raised_ = false;

    // Guarded by state_mutex_, which the worker holds while it writes a batch.
    std::ofstream file_;
    bool echo_ = false;
    bool time_flag_ = false;
    std::string time_format_;

    std::mutex queue_mutex_;
    std::condition_variable wake_signal_;

    // Started once, by the first start(); joined by stop(). Guarded by worker_mutex_, which the
    // worker itself never takes.
    std::thread worker_;
    std::mutex worker_mutex_;
    // Set by the worker as it begins, so a sink's stop() knows it runs on the worker.
    std::atomic<std::thread::id> worker_id_ {};
    std::atomic<bool> running_ { true };

    std::mutex start_mutex_;
    std::condition_variable start_signal_;
    bool loop_begun_ = false;

    sink error_sink_;
    sink line_sink_;
    mutable std::mutex state_mutex_;

    // Keys the per-thread line buffers; never reused, so a new logger at the address of a
    // destroyed one can't inherit its half-built lines.
    const std::uint64_t buffer_key_;
};
