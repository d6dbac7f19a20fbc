// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <map>
#include <memory>

namespace quillon {

// An EventLoop on epoll(7) and the real clocks, for programs without Qt.
// The watched descriptors stay registered between waits, so a wait costs
// the same however many there are. A descriptor is watched once at a time
// and unwatched before it is closed.
class PollEventLoop : public EventLoop {
public:
    PollEventLoop();
    ~PollEventLoop() override;
    PollEventLoop(const PollEventLoop&) = delete;
    PollEventLoop& operator=(const PollEventLoop&) = delete;

    double time_of_day() override;
    double monotonic() override;
    Handle start_timer(int interval_ms, Callback callback) override;
    void stop_timer(Handle timer) override;
    Handle watch_readable(int fd, Callback callback) override;
    void unwatch(Handle watch) override;
    void post(Callback callback) override;
    void process_pending_events() override { wait_for_events(0); }
    void wait_for_events(double max_seconds) override;

    // Runs events until quit().
    void run();
    void quit() { quit_ = true; }

private:
    struct Timer {
        double interval;
        double due;
        std::shared_ptr<Callback> callback;
    };
    struct Watch {
        int fd;
        std::shared_ptr<Callback> callback;
    };

    int epoll_fd_ = -1;
    Handle next_ = 1;
    std::map<Handle, Timer> timers_;
    std::map<Handle, Watch> watches_;
    std::map<Handle, Callback> posted_;
    bool quit_ = false;
};

} // namespace quillon
