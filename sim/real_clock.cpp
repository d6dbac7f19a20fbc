// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/real_clock.h"

#include <cmath>

namespace quillon::sim {

RealClock::~RealClock() {
    if (timer_) loop_.stop_timer(timer_);
}

SimClock::EventId RealClock::schedule(double at, Callback callback) {
    EventId id = next_++;
    pending_.emplace(id, std::move(callback));
    heap_.push({at, id});
    if (!timer_ || at < armed_for_) arm();
    return id;
}

void RealClock::cancel(EventId id) { pending_.erase(id); }

void RealClock::arm() {
    if (timer_) loop_.stop_timer(timer_);
    timer_ = 0;
    while (!heap_.empty() && !pending_.count(heap_.top().id))
        heap_.pop();
    if (heap_.empty()) return;
    armed_for_ = heap_.top().at;
    int delay_ms = static_cast<int>(std::ceil(std::max(0.0, armed_for_ - now()) * 1000));
    timer_ = loop_.start_timer(delay_ms, [this] { run_due(); });
}

void RealClock::run_due() {
    // Only what was scheduled before this wake runs in it; what the events
    // schedule for now runs at the next one, as a timer of its own would.
    EventId first_later = next_;
    double until = now();
    while (!heap_.empty() && heap_.top().at <= until && heap_.top().id < first_later) {
        EventId id = heap_.top().id;
        heap_.pop();
        auto it = pending_.find(id);
        if (it == pending_.end()) continue;
        Callback callback = std::move(it->second);
        pending_.erase(it);
        callback();
    }
    arm();
}

} // namespace quillon::sim
