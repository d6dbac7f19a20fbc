// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <functional>
#include <string>

namespace quillon {

// Dates and times for what the session features write down: the day from
// the calendar, the time of day and every duration from the event loop, so
// they follow virtual time in the tests.
class SessionClock {
public:
    explicit SessionClock(EventLoop& loop);

    std::string date() const { return calendar(); } // "2026-12-07"
    std::string time_of_day() const;                // "14:30:05"
    double monotonic() const { return loop_.monotonic(); }

    // Today's date; the system's local calendar unless replaced.
    std::function<std::string()> calendar;

private:
    EventLoop& loop_;
};

// A duration or a time of day in whole seconds as "hh:mm:ss".
std::string clock_text(double seconds);

} // namespace quillon
