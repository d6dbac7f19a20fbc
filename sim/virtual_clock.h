// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/virtual_event_loop.h"
#include "sim/sim_clock.h"

namespace quillon::sim {

// The simulator on the scenario tests' virtual time.
class VirtualClock : public SimClock {
public:
    explicit VirtualClock(VirtualTime& time) : time_(time) {}
    double now() override { return time_.now(); }
    EventId schedule(double at, Callback callback) override { return time_.schedule(at, std::move(callback)); }
    void cancel(EventId id) override { time_.cancel(id); }

private:
    VirtualTime& time_;
};

} // namespace quillon::sim
