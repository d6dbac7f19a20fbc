// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/real_clock.h"

#include <algorithm>
#include <cmath>

namespace quillon::sim {

RealClock::~RealClock() {
    if (timer_) loop_.stop_timer(timer_);
}

SimClock::EventId RealClock::schedule(double at, Callback callback) {
    EventId id = next_++;
    heap_.push_back({at, id, std::move(callback)});
    std::push_heap(heap_.begin(), heap_.end(), later);
    if (!timer_ || at < armed_for_) arm();
    return id;
}

// Rare (a modem's own timers), so a walk of the heap will do; the event
// keeps its place and is passed over when due.
void RealClock::cancel(EventId id) {
    for (Due& due : heap_)
        if (due.id == id) due.callback = nullptr;
}

void RealClock::arm() {
    if (timer_) loop_.stop_timer(timer_);
    timer_ = 0;
    while (!heap_.empty() && !heap_.front().callback) {
        std::pop_heap(heap_.begin(), heap_.end(), later);
        heap_.pop_back();
    }
    if (heap_.empty()) return;
    armed_for_ = heap_.front().at;
    int delay_ms = static_cast<int>(std::ceil(std::max(0.0, armed_for_ - now()) * 1000));
    timer_ = loop_.start_timer(delay_ms, [this] { run_due(); });
}

void RealClock::run_due() {
    // Only what was scheduled before this wake runs in it; what the events
    // schedule for now runs at the next one, as a timer of its own would.
    EventId first_later = next_;
    double until = now();
    while (!heap_.empty() && heap_.front().at <= until && heap_.front().id < first_later) {
        std::pop_heap(heap_.begin(), heap_.end(), later);
        Callback callback = std::move(heap_.back().callback);
        heap_.pop_back();
        if (callback) callback();
    }
    arm();
}

} // namespace quillon::sim
