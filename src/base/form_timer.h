// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <functional>

namespace quillon {

// A timer control of a form: ticks on the loop while enabled.
class FormTimer {
public:
    FormTimer(EventLoop& loop, int interval_ms) : loop_(loop), interval_ms_(interval_ms) {}
    ~FormTimer() { set_enabled(false); }
    FormTimer(const FormTimer&) = delete;
    FormTimer& operator=(const FormTimer&) = delete;

    int interval_ms() const { return interval_ms_; }
    bool enabled() const { return handle_ != 0; }
    void set_enabled(bool on) {
        if (on == enabled()) return;
        if (on) {
            handle_ = loop_.start_timer(interval_ms_, [this] {
                if (on_tick) on_tick();
            });
        } else {
            loop_.stop_timer(handle_);
            handle_ = 0;
        }
    }
    std::function<void()> on_tick;

private:
    EventLoop& loop_;
    int interval_ms_;
    EventLoop::Handle handle_ = 0;
};

} // namespace quillon
