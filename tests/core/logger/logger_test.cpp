#include "core/logger.h"
#include "core/utils/version.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <locale>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using test_support::temp_folder;

// Collects what a sink receives; sinks run on the logger's worker thread.
class collector {
public:
    logger::sink sink()
    {
        return [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// True when `text` has the shape of `mask`, where '#' stands for any digit.
bool fits_mask(const std::string& text, const std::string& mask)
{
    if (text.size() != mask.size())
        return false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const bool fits = mask[i] == '#' ? text[i] >= '0' && text[i] <= '9' : text[i] == mask[i];
        if (!fits)
            return false;
    }
    return true;
}

// A numpunct that groups thousands, as some desktop locales do.
struct grouping_punct : std::numpunct<char> {
    char do_thousands_sep() const override { return '\''; }
    std::string do_grouping() const override { return "\3"; }
};

class global_locale_guard {
public:
    explicit global_locale_guard(const std::locale& replacement) : previous_(std::locale::global(replacement)) {}
    ~global_locale_guard() { std::locale::global(previous_); }

private:
    std::locale previous_;
};

TEST(logger_stream, chain_of_pieces_becomes_one_entry_when_its_newline_arrives)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    collector lines;
    {
        logger log;
        log.set_line_sink(lines.sink());
        ASSERT_TRUE(log.open(file.string()));
        log << "Rows count: " << 42;
        log << "\n";
        log << "half a line";
        log.stop();
    }
    EXPECT_EQ(lines.lines(), std::vector<std::string>({ "[INFO|Normal] Rows count: 42\n" }));
    EXPECT_EQ(temp_folder::read(file), "[INFO|Normal] Rows count: 42\n");
}

TEST(logger_stream, text_after_a_newline_travels_with_its_entry)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    ASSERT_TRUE(log.open(file.string()));
    log << "first\nsecond";
    log << "third\nfourth\n";
    log.stop();

    EXPECT_EQ(lines.lines(), std::vector<std::string>({ "[INFO|Normal] first\nsecond",
                                                        "[INFO|Normal] third\nfourth\n" }));
    // The file ends every entry's line; the sink gets the line as it was built.
    EXPECT_EQ(temp_folder::read(file), "[INFO|Normal] first\nsecond\n[INFO|Normal] third\nfourth\n");
}

TEST(logger_stream, a_refused_piece_does_not_silence_later_lines)
{
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    const char* missing_tool = nullptr;  // a stream refuses a null C string and turns bad
    log << "Compare tool: " << missing_tool << "\n";
    log << "next line\n";
    log.stop();

    EXPECT_EQ(lines.lines(), std::vector<std::string>({ "[INFO|Normal] Compare tool: \n",
                                                        "[INFO|Normal] next line\n" }));
}

TEST(logger_stream, values_are_written_plain_whatever_the_global_locale)
{
    global_locale_guard grouping(std::locale(std::locale::classic(), new grouping_punct));
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    log << 1234567 << " " << 4000000000u << " " << std::numeric_limits<std::int64_t>::min() << " "
        << std::numeric_limits<std::uint64_t>::max() << "\n";
    log << "Older version detected. Updating from " << utils::version("1..3", '.') << "\n";
    log.stop();

    EXPECT_EQ(lines.lines(), std::vector<std::string>(
        { "[INFO|Normal] 1234567 4000000000 -9223372036854775808 18446744073709551615\n",
          "[INFO|Normal] Older version detected. Updating from 1.3\n" }));
}

TEST(logger_stream, each_thread_keeps_its_own_line)
{
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    log << "main starts ";
    std::thread other([&log] { log << "other " << 2 << "\n"; });
    other.join();
    log << "and ends\n";
    log.stop();

    EXPECT_EQ(lines.lines(), std::vector<std::string>({ "[INFO|Normal] other 2\n",
                                                        "[INFO|Normal] main starts and ends\n" }));
}

TEST(logger_line, error_entry_carries_time_type_and_priority)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    log.set_time_format("%Y-%m-%d %H:%M:%S");
    ASSERT_TRUE(log.open(file.string()));
    log.enqueue("Compare: no tool selected", logger::error);
    log.stop();

    const std::string written = temp_folder::read(file);
    EXPECT_TRUE(fits_mask(written, "####-##-## ##:##:## [ERROR|Normal] Compare: no tool selected\n")) << written;
    ASSERT_EQ(lines.lines().size(), 1u);
    EXPECT_EQ(lines.lines()[0] + "\n", written);
}

TEST(logger_line, every_type_prints_its_word_and_unknown_types_are_refused)
{
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    for (const int type : { logger::info, logger::warning, logger::error, logger::debug })
        log.enqueue("message", type);
    EXPECT_THROW(log.enqueue("message", 4), std::invalid_argument);
    EXPECT_THROW(log.enqueue("message", -1), std::invalid_argument);
    log.stop();

    EXPECT_EQ(lines.lines(), std::vector<std::string>({ "[INFO|Normal] message", "[WARINING|Normal] message",
                                                        "[ERROR|Normal] message", "[DEBUG|Normal] message" }));
}

TEST(logger_line, empty_time_format_switches_the_time_off)
{
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    log.set_time_format("%Y");
    log.enqueue("with time", logger::info);
    log.stop();
    logger second;
    second.set_line_sink(lines.sink());
    second.set_time_format("%Y");
    second.set_time_format("");
    second.enqueue("without time", logger::info);
    second.stop();

    ASSERT_EQ(lines.lines().size(), 2u);
    EXPECT_TRUE(fits_mask(lines.lines()[0], "#### [INFO|Normal] with time")) << lines.lines()[0];
    EXPECT_EQ(lines.lines()[1], "[INFO|Normal] without time");
}

TEST(logger_line, echo_copies_each_line_to_standard_error)
{
    logger log;
    log.set_echo(true);
    testing::internal::CaptureStderr();
    log.enqueue("to the terminal", logger::warning);
    log << "streamed\n";
    log.stop();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[WARINING|Normal] to the terminal\n[INFO|Normal] streamed\n");
}

TEST(logger_file, is_appended_to_and_may_be_read_while_open)
{
    temp_folder folder;
    const auto file = folder.write("today.log", "earlier line\n");
    logger log;
    ASSERT_TRUE(log.open(file.string()));
    log.enqueue("later line", logger::info);
    log.enqueue("last line", logger::info);
    log.stop();
    EXPECT_EQ(temp_folder::read(file), "earlier line\n[INFO|Normal] later line\n[INFO|Normal] last line\n");
}

TEST(logger_file, without_a_file_every_line_reaches_both_sinks)
{
    collector errors, lines;
    logger log;
    log.set_error_sink(errors.sink());
    log.set_line_sink(lines.sink());
    log.enqueue("one", logger::info);
    log << "two\n";
    log.stop();
    const std::vector<std::string> expected { "[INFO|Normal] one", "[INFO|Normal] two\n" };
    EXPECT_EQ(errors.lines(), expected);
    EXPECT_EQ(lines.lines(), expected);
}

TEST(logger_file, one_in_a_missing_folder_sends_every_line_to_the_error_sink)
{
    temp_folder folder;
    const auto file = folder.path() / "no such folder" / "today.log";
    collector errors, lines;
    logger log;
    log.set_error_sink(errors.sink());
    log.set_line_sink(lines.sink());
    EXPECT_FALSE(log.open(file.string()));
    log.enqueue("Compare: no tool selected", logger::error);
    log.enqueue("second", logger::info);
    log.stop();

    const std::vector<std::string> expected { "[ERROR|Normal] Compare: no tool selected", "[INFO|Normal] second" };
    EXPECT_EQ(errors.lines(), expected);
    EXPECT_EQ(lines.lines(), expected);
    EXPECT_FALSE(boost::filesystem::exists(file));
}

TEST(logger_file, full_disk_sends_every_line_to_the_error_sink)
{
    if (!boost::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this machine";
    collector errors, lines;
    logger log;
    log.set_error_sink(errors.sink());
    log.set_line_sink(lines.sink());
    ASSERT_TRUE(log.open("/dev/full"));
    // A short line sits in the file's buffer until the flush fails; a long one fails at once.
    log.enqueue("short", logger::info);
    log.stop();
    EXPECT_EQ(errors.lines(), std::vector<std::string>({ "[INFO|Normal] short" }));
    EXPECT_EQ(lines.lines(), errors.lines());

    collector more_errors;
    logger second;
    second.set_error_sink(more_errors.sink());
    ASSERT_TRUE(second.open("/dev/full"));
    for (int n = 0; n < 20; ++n)
        second.enqueue(std::to_string(n) + " " + std::string(20000, 'x'), logger::info);
    second.stop();
    const auto reported = more_errors.lines();
    ASSERT_EQ(reported.size(), 20u);
    for (int n = 0; n < 20; ++n)
        EXPECT_EQ(reported[n].rfind("[INFO|Normal] " + std::to_string(n) + " ", 0), 0u);
}

TEST(logger_threads, four_producers_lose_nothing_and_keep_their_order)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    constexpr int threads = 4;
    constexpr int per_thread = 250;
    {
        logger log;
        ASSERT_TRUE(log.open(file.string()));
        std::vector<std::thread> producers;
        for (int t = 0; t < threads; ++t) {
            producers.emplace_back([&log, t] {
                for (int n = 0; n < per_thread; ++n) {
                    if (n % 2)
                        log << "thread " << t << " entry " << n << "\n";
                    else
                        log.enqueue("thread " + std::to_string(t) + " entry " + std::to_string(n), logger::info);
                }
            });
        }
        for (auto& producer : producers)
            producer.join();
    }

    const auto lines = split_lines(temp_folder::read(file));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(threads * per_thread));
    std::vector<int> next(threads, 0);
    for (const auto& line : lines) {
        std::istringstream in(line);
        std::string prefix, thread_word, entry_word, rest;
        int t = -1, n = -1;
        in >> prefix >> thread_word >> t >> entry_word >> n;
        ASSERT_TRUE(in && !(in >> rest) && prefix == "[INFO|Normal]" && thread_word == "thread"
                    && entry_word == "entry" && t >= 0 && t < threads) << line;
        EXPECT_EQ(n, next[t]) << "thread " << t;
        next[t] = n + 1;
    }
}

TEST(logger_life, destruction_writes_everything_still_queued)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    {
        logger log;
        ASSERT_TRUE(log.open(file.string()));
        for (int n = 0; n < 1000; ++n)
            log.enqueue("entry " + std::to_string(n), logger::info);
    }
    const auto lines = split_lines(temp_folder::read(file));
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.front(), "[INFO|Normal] entry 0");
    EXPECT_EQ(lines.back(), "[INFO|Normal] entry 999");
}

TEST(logger_life, cleared_sink_is_never_called_again)
{
    collector lines;
    logger log;
    log.set_line_sink(lines.sink());
    for (int n = 0; n < 100; ++n)
        log.enqueue("before", logger::info);
    log.set_line_sink(nullptr);
    const std::size_t received = lines.lines().size();
    for (int n = 0; n < 100; ++n)
        log.enqueue("after", logger::info);
    log.stop();
    EXPECT_EQ(lines.lines().size(), received);
}

std::set<std::string> threads_of_this_process()
{
    std::set<std::string> threads;
    for (boost::filesystem::directory_iterator task("/proc/self/task"), end; task != end; ++task)
        threads.insert(task->path().filename().string());
    return threads;
}

TEST(logger_life, starting_again_keeps_the_one_worker)
{
    logger log;
    // A thread an earlier case joined may still be listed while it ends: only one that was not
    // there before counts.
    const std::set<std::string> threads = threads_of_this_process();
    log.start();
    log.start();
    const std::set<std::string> after = threads_of_this_process();
    EXPECT_TRUE(std::includes(threads.begin(), threads.end(), after.begin(), after.end())) << "a thread was started";
    collector lines;
    log.set_line_sink(lines.sink());
    for (int n = 0; n < 50; ++n)
        log.enqueue("entry " + std::to_string(n), logger::info);
    log.stop();
    ASSERT_EQ(lines.lines().size(), 50u);
    EXPECT_EQ(lines.lines().back(), "[INFO|Normal] entry 49");
}

TEST(logger_life, stop_from_a_sink_ends_the_worker_and_nothing_restarts_it)
{
    temp_folder folder;
    const auto file = folder.path() / "today.log";
    {
        logger log;
        ASSERT_TRUE(log.open(file.string()));
        log.set_line_sink([&log](const std::string&) { log.stop(); });
        log.enqueue("stops the logger", logger::info);
        while (!boost::filesystem::file_size(file))
            std::this_thread::yield();
        log.start();
    }
    EXPECT_EQ(temp_folder::read(file), "[INFO|Normal] stops the logger\n");
}

} // namespace
