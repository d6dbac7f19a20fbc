// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/real_clock.h"

#include <cmath>

namespace quillon::sim {

RealClock::~RealClock() {
    for (auto& [id, handle] : timers_) loop_.stop_timer(handle);
}

SimClock::EventId RealClock::schedule(double at, Callback callback) {
    EventId id = next_++;
    int delay_ms = static_cast<int>(std::ceil(std::max(0.0, at - now()) * 1000));
    timers_[id] = loop_.start_timer(delay_ms, [this, id, callback = std::move(callback)] {
        cancel(id);
        callback();
    });
    return id;
}

void RealClock::cancel(EventId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    loop_.stop_timer(it->second);
    timers_.erase(it);
}

} // namespace quillon::sim
