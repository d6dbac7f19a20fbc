// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/wait_seconds.h"

#include "base/event_loop.h"

namespace quillon {

void wait_seconds(EventLoop& loop, int n) {
    // A monotonic clock, so a wait across midnight still lasts n seconds.
    double end = loop.monotonic() + n;
    for (double now = loop.monotonic(); now < end; now = loop.monotonic()) loop.wait_for_events(end - now);
}

} // namespace quillon
