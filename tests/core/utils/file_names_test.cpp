#include "core/utils/file_names.h"

#include "support/temp_folder.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace bfs = boost::filesystem;
using test_support::temp_folder;

namespace {

// Pins the local time zone for the test and restores the previous one.
class fixed_time_zone {
public:
    explicit fixed_time_zone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            had_zone_ = true;
            previous_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~fixed_time_zone()
    {
        if (had_zone_)
            ::setenv("TZ", previous_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool had_zone_ { false };
    std::string previous_;
};

constexpr std::time_t last_second_of_january_2024_utc = 1706745599;

} // namespace

TEST(make_copy_name, free_path_is_returned_unchanged)
{
    temp_folder folder;
    const auto file = folder.path() / "report.txt";
    EXPECT_EQ(utils::make_copy_name(file), file);
    EXPECT_EQ(utils::make_copy_name(folder.path() / "missing" / "report.txt"),
              folder.path() / "missing" / "report.txt");
}

TEST(make_copy_name, takes_the_first_free_copy_name_in_order)
{
    temp_folder folder;
    const auto file = folder.write("report.txt", "r");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / "report - Copy.txt");

    folder.write("report - Copy.txt", "c");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / "report - Copy (2).txt");

    folder.write("report - Copy (2).txt", "c2");
    folder.write("report - Copy (4).txt", "c4");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / "report - Copy (3).txt");

    // The files already there are left as they were.
    EXPECT_EQ(temp_folder::read(file), "r");
    EXPECT_EQ(temp_folder::read(folder.path() / "report - Copy.txt"), "c");
}

TEST(make_copy_name, keeps_only_the_last_extension_apart)
{
    temp_folder folder;
    EXPECT_EQ(utils::make_copy_name(folder.write("notes", "n")), folder.path() / "notes - Copy");
    EXPECT_EQ(utils::make_copy_name(folder.write("a.tar.gz", "a")), folder.path() / "a.tar - Copy.gz");
    EXPECT_EQ(utils::make_copy_name(folder.write("name with spaces.é.txt", "s")),
              folder.path() / "name with spaces.é - Copy.txt");
}

TEST(make_copy_name, folders_and_dangling_links_hold_their_names)
{
    temp_folder folder;
    bfs::create_directory(folder.path() / "photos");
    EXPECT_EQ(utils::make_copy_name(folder.path() / "photos"), folder.path() / "photos - Copy");

    // A copy written to a dangling link's name would land at the link's target.
    const auto file = folder.write("data.bin", "d");
    bfs::create_symlink(folder.path() / "elsewhere" / "target.bin", folder.path() / "data - Copy.bin");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / "data - Copy (2).bin");
}

TEST(make_copy_name, name_whose_status_cannot_be_read_counts_as_free)
{
    temp_folder folder;
    // 251 bytes fit in a file name; with " - Copy" the name is too long to stat.
    const std::string stem(247, 'x');
    const auto file = folder.write(stem + ".txt", "x");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / (stem + " - Copy.txt"));
}

TEST(make_copy_name, relative_name_without_folder_stays_relative)
{
    temp_folder folder;
    const auto previous = bfs::current_path();
    bfs::current_path(folder.path());
    folder.write("local.txt", "l");
    const auto copy = utils::make_copy_name("local.txt");
    bfs::current_path(previous);
    EXPECT_EQ(copy, bfs::path("local - Copy.txt"));
}

TEST(make_copy_name, gives_up_with_an_error_when_every_name_is_taken)
{
    temp_folder folder;
    const auto file = folder.write("full.txt", "f");
    folder.write("full - Copy.txt", "");
    for (int number = 2; number < utils::max_copy_name_tries; ++number)
        folder.write("full - Copy (" + std::to_string(number) + ").txt", "");
    try {
        utils::make_copy_name(file);
        FAIL() << "a copy name was handed out although every candidate is taken";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos) << error.what();
    }
    // One name freed within the bound is found again.
    bfs::remove(folder.path() / "full - Copy (9999).txt");
    EXPECT_EQ(utils::make_copy_name(file), folder.path() / "full - Copy (9999).txt");
}

TEST(make_timestamped_name, stamps_local_time_before_the_last_extension)
{
    const fixed_time_zone utc("UTC0");
    const std::time_t when = last_second_of_january_2024_utc;
    EXPECT_EQ(utils::make_timestamped_name("/data/a.tar.gz", &when), bfs::path("/data/a.tar_20240131_235959.gz"));
    EXPECT_EQ(utils::make_timestamped_name("/data/notes", &when), bfs::path("/data/notes_20240131_235959"));
    EXPECT_EQ(utils::make_timestamped_name("report.txt", &when), bfs::path("report_20240131_235959.txt"));
}

TEST(make_timestamped_name, follows_the_local_time_zone)
{
    const fixed_time_zone eastern("EST5");
    const std::time_t when = last_second_of_january_2024_utc;
    EXPECT_EQ(utils::make_timestamped_name("/data/report.txt", &when),
              bfs::path("/data/report_20240131_185959.txt"));
    const std::time_t epoch = 0;
    EXPECT_EQ(utils::make_timestamped_name("/data/report.txt", &epoch),
              bfs::path("/data/report_19691231_190000.txt"));
}

TEST(make_timestamped_name, missing_or_unconvertible_time_is_an_error)
{
    EXPECT_THROW(utils::make_timestamped_name("/data/report.txt", nullptr), std::invalid_argument);
    const std::time_t far = std::numeric_limits<std::time_t>::max();
    EXPECT_THROW(utils::make_timestamped_name("/data/report.txt", &far), std::runtime_error);
}
