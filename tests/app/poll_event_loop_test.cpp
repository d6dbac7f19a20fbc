// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/poll_event_loop.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace quillon {
namespace {

TEST(PollEventLoop, TimersWatchesAndPostsRunAndCanRemoveThemselves) {
    PollEventLoop loop;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    int ticks = 0, reads = 0, posts = 0;
    EventLoop::Handle timer = 0, watch = 0;
    timer = loop.start_timer(10, [&] {
        if (++ticks == 3) loop.stop_timer(timer);
    });
    watch = loop.watch_readable(fds[0], [&] {
        char c;
        ASSERT_EQ(::read(fds[0], &c, 1), 1);
        ++reads;
        loop.unwatch(watch);
    });
    loop.post([&] {
        ++posts;
        loop.process_pending_events(); // a nested yield must not rerun this
    });
    ASSERT_EQ(::write(fds[1], "xy", 2), 2);
    double end = loop.monotonic() + 0.2;
    while (loop.monotonic() < end) loop.wait_for_events(end - loop.monotonic());
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(posts, 1);
    EXPECT_GE(loop.time_of_day(), 0.0);
    EXPECT_LT(loop.time_of_day(), 86400.0);
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
} // namespace quillon
