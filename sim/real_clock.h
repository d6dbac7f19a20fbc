// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "sim/sim_clock.h"

#include <queue>
#include <unordered_map>
#include <vector>

namespace quillon::sim {

// The simulator on the wall clock, through the program's poll loop. Its
// events wait in a heap of their own behind one loop timer, so that a long
// backlog on the line costs a logarithm per event, not a walk of them all
// at every wake.
class RealClock : public SimClock {
public:
    explicit RealClock(PollEventLoop& loop) : loop_(loop) {}
    ~RealClock() override;
    double now() override { return loop_.monotonic(); }
    EventId schedule(double at, Callback callback) override;
    void cancel(EventId id) override;

private:
    struct Due {
        double at;
        EventId id;
        bool operator>(const Due& other) const { return at != other.at ? at > other.at : id > other.id; }
    };

    void run_due();
    void arm();

    PollEventLoop& loop_;
    EventId next_ = 1;
    // Cancelled events leave their place in the heap; they are skipped there.
    std::priority_queue<Due, std::vector<Due>, std::greater<>> heap_;
    std::unordered_map<EventId, Callback> pending_;
    EventLoop::Handle timer_ = 0;
    double armed_for_ = 0;
};

} // namespace quillon::sim
