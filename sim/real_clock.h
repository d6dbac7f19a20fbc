// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/poll_event_loop.h"
#include "sim/sim_clock.h"

#include <map>

namespace quillon::sim {

// The simulator on the wall clock, through the program's poll loop.
class RealClock : public SimClock {
public:
    explicit RealClock(PollEventLoop& loop) : loop_(loop) {}
    ~RealClock() override;
    double now() override { return loop_.monotonic(); }
    EventId schedule(double at, Callback callback) override;
    void cancel(EventId id) override;

private:
    PollEventLoop& loop_;
    EventId next_ = 1;
    std::map<EventId, EventLoop::Handle> timers_;
};

} // namespace quillon::sim
