// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace quillon {

// The one thread's event source: clocks, timers, file watches and the yield.
// Qt, poll(2) and virtual time each provide one.
class EventLoop {
public:
    using Callback = std::function<void()>;
    using Handle = int;

    virtual ~EventLoop() = default;

    // Seconds since local midnight, with fractions.
    virtual double time_of_day() = 0;
    // Seconds on a clock that never jumps; only differences mean anything.
    virtual double monotonic() = 0;

    // Runs callback every interval_ms until stopped. A callback may run
    // again while an earlier run of it is yielding.
    virtual Handle start_timer(int interval_ms, Callback callback) = 0;
    virtual void stop_timer(Handle timer) = 0;

    // Runs callback whenever fd is readable (level-triggered).
    virtual Handle watch_readable(int fd, Callback callback) = 0;
    virtual void unwatch(Handle watch) = 0;

    // Runs callback once, soon, from the loop.
    virtual void post(Callback callback) = 0;

    // The yield: runs every event that is pending now and returns.
    virtual void process_pending_events() = 0;
    // Like process_pending_events, but blocks up to max_seconds for an
    // event when none is pending.
    virtual void wait_for_events(double max_seconds) = 0;
};

} // namespace quillon
