#include "platform/base/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <thread>
#include <vector>

TEST(posting, work_from_worker_threads_runs_on_the_ui_thread_and_never_after_the_window_went)
{
    struct counted_window : CWnd {
        int calls = 0;
    };
    auto window = std::make_unique<counted_window>();
    window->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    HWND handle = window.get();
    const std::thread::id ui_thread = std::this_thread::get_id();
    std::atomic<bool> stop{false};
    std::atomic<int> refused{0};
    std::atomic<int> off_thread{0};
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 4; ++worker) {
        workers.emplace_back([&] {
            while (!stop) {
                // The work touches the window: after its destruction that would be a use after
                // free, which the address sanitizer reports.
                const BOOL posted = platform::post_to_window(handle, [handle, ui_thread, &off_thread] {
                    if (std::this_thread::get_id() != ui_thread)
                        ++off_thread;
                    ++static_cast<counted_window*>(handle)->calls;
                });
                if (!posted)
                    ++refused;
                std::this_thread::yield();
            }
        });
    }
    // Bounded waits: a stuck queue fails the case instead of hanging the run.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const auto in_time = [&deadline] { return std::chrono::steady_clock::now() < deadline; };
    int delivered = 0;
    while (delivered < 2000 && in_time())
        delivered += platform::deliver_posted_messages();
    EXPECT_GE(window->calls, 2000);
    window.reset();
    // Posting goes on against the dead window while the queue drains.
    while (refused < 100 && in_time())
        EXPECT_EQ(platform::deliver_posted_messages(), 0) << "nothing reaches a destroyed window";
    EXPECT_GE(refused, 100);
    stop = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(platform::deliver_posted_messages(), 0);
    EXPECT_EQ(off_thread, 0);

    // A new window at the same address is another window: nothing posted to the old one
    // reaches it.
    auto first = std::make_unique<counted_window>();
    first->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    CWnd* address = first.get();
    EXPECT_TRUE(platform::post_to_window(address, [] { ADD_FAILURE() << "delivered to a later window"; }));
    first->~counted_window();
    new (first.get()) counted_window();
    first->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    EXPECT_EQ(platform::deliver_posted_messages(), 0);
}

TEST(posting, work_posted_while_a_pass_runs_waits_for_the_next_pass)
{
    auto window = std::make_unique<CWnd>();
    window->CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
    HWND handle = window.get();
    // Work that posts itself again: one pass must still return.
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        platform::post_to_window(handle, again);
    };
    ASSERT_TRUE(platform::post_to_window(handle, again));
    EXPECT_EQ(platform::deliver_posted_messages(), 1);
    EXPECT_EQ(platform::deliver_posted_messages(), 1);
    EXPECT_EQ(runs, 2);
    window.reset();
    EXPECT_EQ(platform::deliver_posted_messages(), 0);
}
