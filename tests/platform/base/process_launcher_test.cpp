#include "platform/base/process_launcher.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Waits for the child's end as the reaping thread reports it.
class exit_watch {
public:
    std::function<void(int)> callback()
    {
        return [this](int status) {
            std::lock_guard<std::mutex> lock(mutex_);
            status_ = status;
            ended_ = true;
            changed_.notify_all();
        };
    }
    bool wait(int& status)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool ended = changed_.wait_for(lock, std::chrono::seconds(20), [this] { return ended_; });
        status = status_;
        return ended;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    int status_ = -1;
};

std::string temporary_file()
{
    char name[] = "/tmp/tarvoline_argv_XXXXXX";
    const int descriptor = mkstemp(name);
    if (descriptor >= 0)
        close(descriptor);
    return name;
}

class recording_launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::set_process_launcher([this](const platform::process_request& request) {
            started.push_back(request.arguments);
            if (request.on_exit)
                exits.push_back(request.on_exit);
            return refuse.empty() || refuse != request.arguments.front() ? 0 : ENOENT;
        });
    }
    void TearDown() override { platform::set_process_launcher(nullptr); }

    std::vector<std::vector<std::string>> started;
    std::vector<std::function<void(int)>> exits;
    std::string refuse;
};

}  // namespace

TEST(process_launcher, a_missing_program_reports_errno_at_once)
{
    EXPECT_EQ(platform::launch_process(std::vector<std::string>{"tarvoline-no-such-program"}), ENOENT);
    EXPECT_EQ(platform::launch_process(std::vector<std::string>{"/nonexistent/dir/tool"}), ENOENT);
    EXPECT_EQ(platform::launch_process(std::vector<std::string>{}), ENOENT);
}

TEST(process_launcher, arguments_reach_the_child_byte_for_byte_and_the_child_is_reaped)
{
    const std::string out = temporary_file();
    const std::vector<std::string> arguments = {"say \"hi\"", "$(touch x)", "a;b", "line\nbreak", "two words", "", "*"};
    platform::process_request request;
    request.arguments = {ARGV_DUMP_PROGRAM, out};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    exit_watch watch;
    request.on_exit = watch.callback();
    ASSERT_EQ(platform::launch_process(request), 0);
    int status = -1;
    ASSERT_TRUE(watch.wait(status)) << "the child ended";
    EXPECT_EQ(status, 0);

    std::ifstream file(out, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string expected;
    for (const std::string& argument : arguments)
        expected += argument + '\0';
    EXPECT_EQ(written, expected) << "no shell touched the arguments";
    std::remove(out.c_str());

    int ignored = 0;
    errno = 0;
    EXPECT_EQ(waitpid(-1, &ignored, WNOHANG), -1) << "no child is left to reap";
    EXPECT_EQ(errno, ECHILD);
}

TEST(process_launcher, options_split_at_blanks_with_double_quotes_grouping)
{
    using list = std::vector<std::string>;
    EXPECT_EQ(platform::split_options("  -a\t-b  "), (list{"-a", "-b"}));
    EXPECT_EQ(platform::split_options("--title \"My file.txt\" -x"), (list{"--title", "My file.txt", "-x"}));
    EXPECT_EQ(platform::split_options("pre\"fix suf\"fix"), (list{"prefix suffix"}));
    EXPECT_EQ(platform::split_options("\"\" $(rm -rf ~) ;|&"), (list{"", "$(rm", "-rf", "~)", ";|&"}))
        << "nothing but blanks and double quotes means anything";
    EXPECT_EQ(platform::split_options(""), list{});
    EXPECT_EQ(platform::split_options("\"unclosed quote"), (list{"unclosed quote"}));
}

TEST_F(recording_launcher, show_in_folder_asks_the_file_manager_and_falls_back_to_the_folder)
{
    EXPECT_EQ(platform::show_in_folder("/data/my files/a,b'c.txt"), 0);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].front(), "gdbus");
    EXPECT_EQ(started[0][9], "['file:///data/my%20files/a%2Cb%27c.txt']") << "quotes and commas escaped";
    EXPECT_EQ(started[0][8], "org.freedesktop.FileManager1.ShowItems");
    ASSERT_EQ(exits.size(), 1u);
    exits[0](0);
    EXPECT_EQ(started.size(), 1u) << "the file manager answered";
    exits[0](1);
    ASSERT_EQ(started.size(), 2u) << "no file manager: the folder opens";
    EXPECT_EQ(started[1], (std::vector<std::string>{"xdg-open", "/data/my files"}));

    refuse = "gdbus";
    EXPECT_EQ(platform::show_in_folder("/a.txt"), 0);
    EXPECT_EQ(started.back(), (std::vector<std::string>{"xdg-open", "/"})) << "no gdbus at all";

    EXPECT_EQ(platform::open_with_default_program("/data/-a.txt"), 0);
    EXPECT_EQ(started.back(), (std::vector<std::string>{"xdg-open", "/data/-a.txt"}));
}
