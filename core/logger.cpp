#include "core/logger.h"

#include "core/utils/string_utils.h"

#include <iostream>
#include <locale>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace {

// Indexed by logger::level.
const char* const type_words[] = { "INFO", "WARINING", "ERROR", "DEBUG" };
const char* const priority_words[] = { "None", "Below normal", "Normal", "Above normal", "High", "Critical" };
constexpr std::int32_t normal_priority = 2;
constexpr int type_count = sizeof(type_words) / sizeof(type_words[0]);
constexpr int priority_count = sizeof(priority_words) / sizeof(priority_words[0]);
static_assert(type_count == logger::debug + 1, "one word per level");

const char* word_of(const char* const* words, int count, int index)
{
    return index >= 0 && index < count ? words[index] : "";
}

std::uint64_t next_buffer_key()
{
    static std::atomic<std::uint64_t> counter { 0 };
    return ++counter;
}

// One line buffer per thread and logger, so chains of insertions from two threads never mix
// within a line. An entry lives only while its line is incomplete.
std::unordered_map<std::uint64_t, std::ostringstream>& thread_line_buffers()
{
    thread_local std::unordered_map<std::uint64_t, std::ostringstream> buffers;
    return buffers;
}

bool ends_line(const std::string& line)
{
    return !line.empty() && line.back() == '\n';
}

} // namespace

logger::logger()
    : buffer_key_(next_buffer_key())
{
    start();
}

logger::~logger()
{
    // A destructor that throws ends the program; a failure this late has nowhere to go.
    try {
        stop();
    } catch (...) {
    }
    try {
        thread_line_buffers().erase(buffer_key_);
    } catch (...) {
    }
}

void logger::start()
{
    std::lock_guard<std::mutex> worker_lock(worker_mutex_);
    if (!running_ || worker_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        // Lowering the signal over pending entries would leave them unwritten until the next one.
        wake_raised_ = !pending_.empty();
    }
    {
        std::lock_guard<std::mutex> lock(start_mutex_);
        loop_begun_ = false;
    }
    worker_ = std::thread([this] { run(); });
    std::unique_lock<std::mutex> lock(start_mutex_);
    start_signal_.wait(lock, [this] { return loop_begun_; });
}

void logger::stop()
{
    running_ = false;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        wake_raised_ = true;
    }
    wake_signal_.notify_all();
    // Called from a sink: the worker can't join itself, and it already holds the state lock.
    // It ends after this batch; the owner's own stop (at the latest the destructor) joins it.
    if (std::this_thread::get_id() == worker_id_.load())
        return;
    {
        std::lock_guard<std::mutex> lock(worker_mutex_);
        if (worker_.joinable())
            worker_.join();
    }
    std::lock_guard<std::mutex> lock(state_mutex_);
    if (file_.is_open())
        file_.close();
}

bool logger::open(const std::string& path)
{
    std::lock_guard<std::mutex> lock(state_mutex_);
    if (file_.is_open())
        file_.close();
    file_.open(path, std::ios::out | std::ios::app);
    if (file_.is_open())
        file_.clear();
    else
        file_.setstate(std::ios::failbit);
    return file_.good();
}

void logger::set_time_format(const std::string& format)
{
    std::lock_guard<std::mutex> lock(state_mutex_);
    time_format_ = format;
    time_flag_ = !format.empty();
}

void logger::set_echo(bool echo)
{
    std::lock_guard<std::mutex> lock(state_mutex_);
    echo_ = echo;
}

void logger::set_error_sink(sink error_sink)
{
    std::lock_guard<std::mutex> lock(state_mutex_);
    error_sink_ = std::move(error_sink);
}

void logger::set_line_sink(sink line_sink)
{
    std::lock_guard<std::mutex> lock(state_mutex_);
    line_sink_ = std::move(line_sink);
}

void logger::enqueue(const std::string& text, int type)
{
    if (type < 0 || type >= type_count)
        throw std::invalid_argument("logger: message type " + std::to_string(type) + " is not 0 to 3");
    push(entry { text, normal_priority, type });
}

void logger::push(entry&& item)
{
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        item.sequence = next_sequence_++;
        pending_.push(std::move(item));
        wake_raised_ = true;
    }
    wake_signal_.notify_one();
}

std::ostringstream& logger::line_buffer()
{
    auto& buffers = thread_line_buffers();
    auto found = buffers.find(buffer_key_);
    if (found == buffers.end()) {
        found = buffers.emplace(buffer_key_, std::ostringstream()).first;
        // Numbers are logged in plain decimal whatever locale the program made global.
        found->second.imbue(std::locale::classic());
    }
    return found->second;
}

void logger::queue_if_complete()
{
    auto& buffers = thread_line_buffers();
    const auto found = buffers.find(buffer_key_);
    if (found == buffers.end())
        return;
    std::string text = found->second.str();
    if (text.find('\n') == std::string::npos)
        return;
    buffers.erase(found);
    push(entry { std::move(text), normal_priority, info });
}

void logger::run()
{
    worker_id_ = std::this_thread::get_id();
    if (!running_) {
        signal_loop_begun();
        return;
    }
    for (;;) {
        signal_loop_begun();
        write_batch(wait_for_batch());
        if (!running_ && drained())
            return;
    }
}

void logger::signal_loop_begun()
{
    {
        std::lock_guard<std::mutex> lock(start_mutex_);
        loop_begun_ = true;
    }
    start_signal_.notify_all();
}

std::vector<logger::entry> logger::wait_for_batch()
{
    std::vector<entry> batch;
    std::unique_lock<std::mutex> lock(queue_mutex_);
    wake_signal_.wait(lock, [this] { return wake_raised_; });
    wake_raised_ = false;
    batch.reserve(pending_.size());
    while (!pending_.empty()) {
        batch.push_back(pending_.top());
        pending_.pop();
    }
    return batch;
}

bool logger::drained()
{
    std::lock_guard<std::mutex> lock(queue_mutex_);
    return pending_.empty();
}

std::string logger::make_line(const entry& item) const
{
    std::string line;
    if (time_flag_) {
        line = utils::string_utils::format_now(time_format_.c_str());
        line += ' ';
    }
    line += '[';
    line += word_of(type_words, type_count, item.type);
    line += '|';
    line += word_of(priority_words, priority_count, item.priority);
    line += "] ";
    line += item.text;
    return line;
}

void logger::write_batch(const std::vector<entry>& batch)
{
    if (batch.empty())
        return;
    std::lock_guard<std::mutex> lock(state_mutex_);
    std::vector<std::string> lines;
    lines.reserve(batch.size());
    // Lines that sit in the file's buffer are not yet on disk: a later failed flush loses them
    // too, so they go to the error sink then.
    std::size_t first_unconfirmed = 0;
    const auto report_unconfirmed = [&] {
        for (; first_unconfirmed < lines.size(); ++first_unconfirmed) {
            if (error_sink_)
                error_sink_(lines[first_unconfirmed]);
        }
    };
    for (const entry& item : batch) {
        lines.push_back(make_line(item));
        const std::string& line = lines.back();
        if (echo_) {
            std::cerr << line;
            if (!ends_line(line))
                std::cerr << '\n';
        }
        file_.write(line.data(), static_cast<std::streamsize>(line.size()));
        if (!ends_line(line))
            file_.put('\n');
        // A file that failed to open only has its failbit set, so the bad bit alone would let
        // its lines go nowhere.
        if (!file_)
            report_unconfirmed();
        if (line_sink_)
            line_sink_(line);
    }
    if (file_ && file_.is_open()) {
        file_.flush();
        if (!file_)
            report_unconfirmed();
    }
}
