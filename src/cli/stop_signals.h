// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <functional>

namespace quillon {

// SIGINT and SIGTERM become a call on the event loop (the self-pipe
// trick), so that the run hangs up and tidies before it ends. One at a time.
class StopSignals {
public:
    StopSignals(EventLoop& loop, std::function<void(int)> on_signal);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    EventLoop& loop_;
    std::function<void(int)> on_signal_;
    EventLoop::Handle watch_ = 0;
};

} // namespace quillon
