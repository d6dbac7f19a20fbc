// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/virtual_event_loop.h"

#include "base/program_end.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quillon {

VirtualTime::EventId VirtualTime::schedule(double at, Callback callback, Runner* runner) {
    if (at < now_) at = now_;
    std::size_t slot;
    if (free_slots_.empty()) {
        slot = slots_.size();
        if (slot >> slot_bits) throw std::length_error("too many pending events");
        slots_.emplace_back();
    } else {
        slot = free_slots_.back();
        free_slots_.pop_back();
    }
    EventId id = (next_sequence_++ << slot_bits) | slot;
    Slot& s = slots_[slot];
    s.id = id;
    s.runner = runner;
    s.callback = std::move(callback);
    queue_.push_back({at, id});
    std::push_heap(queue_.begin(), queue_.end());
    return id;
}

void VirtualTime::release(std::size_t slot) {
    slots_[slot] = {};
    free_slots_.push_back(slot);
}

void VirtualTime::cancel(EventId id) {
    if (slot_of(id) < slots_.size() && pending(id)) release(slot_of(id));
}

void VirtualTime::cancel_all(const Runner* runner) {
    for (std::size_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot].id != 0 && slots_[slot].runner == runner) release(slot);
}

const VirtualTime::Due* VirtualTime::next_due() {
    while (!queue_.empty() && !pending(queue_.front().id)) {
        std::pop_heap(queue_.begin(), queue_.end());
        queue_.pop_back();
    }
    return queue_.empty() ? nullptr : &queue_.front();
}

bool VirtualTime::run_due() {
    bool ran = false;
    for (const Due* due = next_due(); due && due->at <= now_; due = next_due()) {
        // Taken out first: the callback may schedule (growing the slots)
        // or cancel its own id.
        Slot& slot = slots_[slot_of(due->id)];
        Callback callback = std::move(slot.callback);
        Runner* runner = slot.runner;
        release(slot_of(due->id));
        std::pop_heap(queue_.begin(), queue_.end());
        queue_.pop_back();
        ran = true;
        if (runner)
            runner->run(callback);
        else
            callback();
    }
    return ran;
}

bool VirtualTime::advance(double limit) {
    const Due* due = next_due();
    if (!due || due->at > limit) {
        if (limit > now_) now_ = limit;
        return false;
    }
    if (due->at > now_) now_ = due->at;
    return run_due();
}

void VirtualTime::run_for(double seconds) {
    double end = now_ + seconds;
    while (advance(end)) {
    }
}

bool VirtualTime::run_until(const std::function<bool()>& done, double max_seconds) {
    double end = now_ + max_seconds;
    while (!done()) {
        if (!advance(end) && now_ >= end) return done();
    }
    return true;
}

VirtualEventLoop::VirtualEventLoop(VirtualTime& time, double start_time_of_day)
    : time_(time), start_time_of_day_(start_time_of_day) {}

VirtualEventLoop::~VirtualEventLoop() {
    shut_down();
}

double VirtualEventLoop::time_of_day() {
    return std::fmod(start_time_of_day_ + time_.now(), 86400.0);
}

void VirtualEventLoop::shut_down() {
    timers_.clear();
    time_.cancel_all(this);
}

void VirtualEventLoop::run(Callback& callback) {
    if (ended_) return;
    ++depth_;
    try {
        callback();
    } catch (const ProgramEnd&) {
        --depth_;
        if (depth_ > 0) throw;
        ended_ = true;
        shut_down();
        return;
    }
    --depth_;
}

EventLoop::Handle VirtualEventLoop::start_timer(int interval_ms, Callback callback) {
    Handle handle = next_handle_++;
    timers_[handle] = std::make_shared<Timer>(Timer{interval_ms / 1000.0, std::move(callback)});
    arm(handle);
    return handle;
}

void VirtualEventLoop::arm(Handle handle) {
    auto timer = timers_.at(handle);
    timer->next = time_.schedule(
        time_.now() + timer->interval,
        [this, handle] {
            auto it = timers_.find(handle);
            if (it == timers_.end()) return;
            auto timer = it->second; // keeps the callback alive if it stops itself
            arm(handle);
            timer->callback();
        },
        this);
}

void VirtualEventLoop::stop_timer(Handle timer) {
    auto it = timers_.find(timer);
    if (it == timers_.end()) return;
    time_.cancel(it->second->next);
    timers_.erase(it);
}

EventLoop::Handle VirtualEventLoop::watch_readable(int, Callback) {
    throw std::logic_error("virtual time has no file descriptors");
}

void VirtualEventLoop::unwatch(Handle) {}

void VirtualEventLoop::post(Callback callback) {
    if (ended_) return;
    time_.schedule(time_.now(), std::move(callback), this);
}

void VirtualEventLoop::process_pending_events() {
    // A yield loop must see time pass, or a wait for the line would spin.
    if (!time_.run_due()) time_.advance(time_.now() + 0.001);
}

void VirtualEventLoop::wait_for_events(double max_seconds) {
    if (!time_.run_due()) time_.advance(time_.now() + max_seconds);
}

} // namespace quillon
