// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/core_guard.h"
#include "qt/qt_event_loop.h"

#include <QCoreApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace quillon {
namespace {

// Runs the loop until done() or the time is up; false on time up.
bool spin_until(QtEventLoop &loop, const std::function<bool()> &done, double seconds = 5) {
    double end = loop.monotonic() + seconds;
    while (!done()) {
        if (loop.monotonic() > end) return false;
        loop.wait_for_events(0.05);
    }
    return true;
}

TEST(QtEventLoop, TimersWatchesAndPostsRunUntilRemovedEvenFromTheirOwnCalls) {
    QtEventLoop loop;
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK | O_CLOEXEC), 0);
    int ticks = 0;
    std::string got, order;
    EventLoop::Handle timer = 0;
    timer = loop.start_timer(10, [&] {
        if (++ticks == 3) loop.stop_timer(timer);
    });
    EventLoop::Handle watch = loop.watch_readable(pipe[0], [&] {
        // One byte a call: the watch is level-triggered, so the rest comes
        // on the next calls.
        char c = 0;
        if (::read(pipe[0], &c, 1) == 1) got += c;
    });
    loop.post([&] { order += "1"; });
    loop.post([&] { order += "2"; });
    EXPECT_EQ(order, "") << "posts run later";
    ASSERT_EQ(::write(pipe[1], "abc", 3), 3);
    ASSERT_TRUE(spin_until(loop, [&] { return ticks == 3 && got == "abc"; })) << got;
    EXPECT_EQ(order, "12");
    loop.unwatch(watch);
    ASSERT_EQ(::write(pipe[1], "d", 1), 1);
    double quiet_until = loop.monotonic() + 0.1;
    spin_until(loop, [&] { return loop.monotonic() > quiet_until; });
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(got, "abc");
    loop.stop_timer(timer); // a second stop is harmless
    ::close(pipe[0]);
    ::close(pipe[1]);
}

TEST(QtEventLoop, AFailureInACallbackStopsAtTheLoop) {
    QtEventLoop loop;
    int ticks = 0;
    EventLoop::Handle timer = loop.start_timer(10, [&] {
        ++ticks;
        throw std::runtime_error("a failure no route caught");
    });
    EXPECT_TRUE(spin_until(loop, [&] { return ticks >= 2; })) << "the loop went on after the first";
    loop.stop_timer(timer);
}

TEST(QtEventLoopDeathTest, EndingTheProgramEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            QtEventLoop loop;
            loop.post([] {
                std::fputs("ending\n", stderr);
                end_program();
            });
            loop.post([] { std::fputs("after the end\n", stderr); });
            loop.process_pending_events();
            std::abort();
        },
        ::testing::ExitedWithCode(0),
        ::testing::AllOf(::testing::HasSubstr("ending"), ::testing::Not(::testing::HasSubstr("after the end"))));
}

} // namespace
} // namespace quillon
