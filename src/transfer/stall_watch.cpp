// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/stall_watch.h"

namespace quillon {

StallWatch::StallWatch(EventLoop& loop, std::function<void(int)> on_stall)
    : loop_(loop), on_stall_(std::move(on_stall)) {}

void StallWatch::waiting() {
    stop();
    timer_ = loop_.start_timer(notice_interval_ms, [this] {
        seconds_ += notice_interval_ms / 1000;
        on_stall_(seconds_);
    });
}

void StallWatch::stop() {
    if (timer_ != 0) loop_.stop_timer(timer_);
    timer_ = 0;
    seconds_ = 0;
}

} // namespace quillon
