// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "sim/sim_clock.h"

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
        Callback callback; // empty once cancelled
    };
    static bool later(const Due& a, const Due& b) { return a.at != b.at ? a.at > b.at : a.id > b.id; }

    void run_due();
    void arm();

    PollEventLoop& loop_;
    EventId next_ = 1;
    // A heap, earliest on top, holding each event with its callback: an
    // event costs no allocation of the clock's own once the heap has grown.
    std::vector<Due> heap_;
    EventLoop::Handle timer_ = 0;
    double armed_for_ = 0;
};

} // namespace quillon::sim
