#include "core/utils/progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>

using namespace std::chrono_literals;

namespace {

using clock_type = utils::progress::clock;

const clock_type::time_point start_time = clock_type::time_point{} + 1000s;

}  // namespace

TEST(progress, first_step_counts_its_bytes_and_estimates_at_the_same_pace)
{
    utils::progress counter(start_time);
    counter.set_total(5000);
    counter.step(1000, start_time + 2s);
    EXPECT_EQ(counter.done(), 1000u);
    EXPECT_DOUBLE_EQ(counter.fraction(), 0.2);
    EXPECT_EQ(counter.bar_position(), 429496729);
    EXPECT_EQ(counter.elapsed(), 2000);
    EXPECT_EQ(counter.estimated(), 10000);
    EXPECT_EQ(counter.remaining(), 8000);

    counter.step(1500, start_time + 5s);
    EXPECT_EQ(counter.done(), 2500u);
    EXPECT_EQ(counter.elapsed(), 5000);
    EXPECT_EQ(counter.estimated(), 10000);
    EXPECT_EQ(counter.remaining(), 5000);
}

TEST(progress, elapsed_time_is_truncated_to_whole_milliseconds)
{
    utils::progress counter(start_time);
    counter.set_total(3);
    counter.step(1, start_time + 1999999ns);
    EXPECT_EQ(counter.elapsed(), 1);
    EXPECT_EQ(counter.estimated(), 3);
    EXPECT_EQ(counter.remaining(), 2);
}

TEST(progress, steps_stop_at_the_total_even_when_they_would_wrap_around)
{
    utils::progress counter(start_time);
    counter.set_total(5000);
    counter.step(4000, start_time + 1s);
    counter.step(4000, start_time + 2s);
    EXPECT_EQ(counter.done(), 5000u);
    EXPECT_DOUBLE_EQ(counter.fraction(), 1.0);
    EXPECT_EQ(counter.bar_position(), 2147483647);
    EXPECT_EQ(counter.estimated(), 2000);
    EXPECT_EQ(counter.remaining(), 0);

    utils::progress huge(start_time);
    huge.set_total(10);
    huge.step(5, start_time + 1s);
    huge.step(std::numeric_limits<std::uint64_t>::max(), start_time + 2s);
    EXPECT_EQ(huge.done(), 10u);
}

TEST(progress, a_five_gibibyte_file_advances_by_its_full_size)
{
    constexpr std::uint64_t five_gibibytes = 5ull << 30;
    utils::progress counter(start_time);
    counter.set_total(4 * five_gibibytes);
    counter.step(five_gibibytes, start_time + 60s);
    EXPECT_EQ(counter.done(), five_gibibytes);
    EXPECT_DOUBLE_EQ(counter.fraction(), 0.25);
    EXPECT_EQ(counter.estimated(), 240000);
    EXPECT_EQ(counter.remaining(), 180000);
}

TEST(progress, undefined_fractions_give_a_full_bar_or_no_estimate)
{
    // Nothing to move: the merge is as good as done.
    utils::progress nothing(start_time);
    nothing.step(0, start_time + 3s);
    nothing.step(700, start_time + 4s);
    EXPECT_EQ(nothing.done(), 0u);
    EXPECT_DOUBLE_EQ(nothing.fraction(), 1.0);
    EXPECT_EQ(nothing.bar_position(), 2147483647);
    EXPECT_EQ(nothing.remaining(), 0);

    // Empty files first: no pace yet, so no estimate instead of an infinite one.
    utils::progress empty_files(start_time);
    empty_files.set_total(100);
    empty_files.step(0, start_time + 3s);
    EXPECT_EQ(empty_files.bar_position(), 0);
    EXPECT_EQ(empty_files.elapsed(), 3000);
    EXPECT_EQ(empty_files.estimated(), 0);
    EXPECT_EQ(empty_files.remaining(), 0);

    // A single byte of an enormous total after a long time: the estimate saturates.
    utils::progress crawl(start_time);
    crawl.set_total(std::numeric_limits<std::uint64_t>::max());
    crawl.step(1, start_time + 10000h);
    EXPECT_EQ(crawl.estimated(), std::numeric_limits<std::int64_t>::max());
    EXPECT_GT(crawl.remaining(), 0);
}
