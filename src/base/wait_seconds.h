// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class EventLoop;

// Yields to the loop until n seconds have passed: events keep running
// while the caller waits.
void wait_seconds(EventLoop& loop, int n);

} // namespace quillon
