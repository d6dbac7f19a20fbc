// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace quillon::sim {

// The simulator's sense of time: virtual in the scenario tests, the wall
// clock in the simulator program.
class SimClock {
public:
    using Callback = std::function<void()>;
    using EventId = std::uint64_t;

    virtual ~SimClock() = default;
    virtual double now() = 0;
    // Runs callback once at the given time; events due at the same time run
    // in the order they were scheduled.
    virtual EventId schedule(double at, Callback callback) = 0;
    virtual void cancel(EventId id) = 0;
};

} // namespace quillon::sim
