// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <functional>

namespace quillon {

// Counts the seconds a transfer has waited for the other side and, every
// 30 of them, tells how long it has been: the protocol has no timeout, so
// only the user can end a wait that will never end.
class StallWatch {
public:
    static constexpr int notice_interval_ms = 30000;

    StallWatch(EventLoop& loop, std::function<void(int seconds)> on_stall);
    ~StallWatch() { stop(); }
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // The transfer now waits for the other side: the count starts again.
    void waiting();
    void stop();

private:
    EventLoop& loop_;
    std::function<void(int)> on_stall_;
    EventLoop::Handle timer_ = 0;
    int seconds_ = 0;
};

} // namespace quillon
