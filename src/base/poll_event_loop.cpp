// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/poll_event_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <iterator>
#include <stdexcept>
#include <sys/epoll.h>
#include <unistd.h>

namespace quillon {

PollEventLoop::PollEventLoop() : epoll_fd_(epoll_create1(EPOLL_CLOEXEC)) {
    if (epoll_fd_ < 0) throw std::runtime_error("cannot create an epoll instance");
}

PollEventLoop::~PollEventLoop() { close(epoll_fd_); }

double PollEventLoop::time_of_day() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
}

double PollEventLoop::monotonic() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

EventLoop::Handle PollEventLoop::start_timer(int interval_ms, Callback callback) {
    Handle h = next_++;
    double interval = interval_ms / 1000.0;
    timers_[h] = {interval, monotonic() + interval, std::make_shared<Callback>(std::move(callback))};
    return h;
}

void PollEventLoop::stop_timer(Handle timer) { timers_.erase(timer); }

EventLoop::Handle PollEventLoop::watch_readable(int fd, Callback callback) {
    Handle h = next_++;
    watches_[h] = {fd, std::make_shared<Callback>(std::move(callback))};
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = static_cast<std::uint64_t>(h);
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &event);
    return h;
}

void PollEventLoop::unwatch(Handle watch) {
    auto it = watches_.find(watch);
    if (it == watches_.end()) return;
    epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, it->second.fd, nullptr);
    watches_.erase(it);
}

void PollEventLoop::post(Callback callback) { posted_[next_++] = std::move(callback); }

void PollEventLoop::wait_for_events(double max_seconds) {
    // Posted callbacks first, each once, even when one yields again.
    if (!posted_.empty()) {
        auto batch = std::move(posted_);
        posted_.clear();
        for (auto& [h, callback] : batch) callback();
        return;
    }
    double now = monotonic();
    double until = now + max_seconds;
    for (const auto& [h, t] : timers_) until = std::min(until, t.due);
    int timeout_ms = static_cast<int>(std::max(0.0, (until - now) * 1000.0) + 0.999);
    epoll_event events[16];
    int ready = ::epoll_wait(epoll_fd_, events, static_cast<int>(std::size(events)), timeout_ms);
    for (int i = 0; i < ready; ++i) {
        // One that an earlier callback of this wake unwatched is passed over.
        auto it = watches_.find(static_cast<Handle>(events[i].data.u64));
        if (it == watches_.end()) continue;
        auto callback = it->second.callback; // alive even if it unwatches itself
        (*callback)();
    }
    now = monotonic();
    // The timers due now, in order, each looked up afresh since a callback
    // may stop or start timers; one started in this pass waits for the next.
    const Handle started_later = next_;
    for (auto it = timers_.begin(); it != timers_.end() && it->first < started_later;) {
        const Handle h = it->first;
        if (it->second.due <= now) {
            it->second.due = now + it->second.interval;
            auto callback = it->second.callback;
            (*callback)();
        }
        it = timers_.upper_bound(h);
    }
}

void PollEventLoop::run() {
    quit_ = false;
    while (!quit_) wait_for_events(1.0);
}

} // namespace quillon
