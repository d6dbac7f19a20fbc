// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <vector>

namespace quillon {

// The serial driver's running counts of line faults since the port opened.
struct LineErrorCounts {
    long brk = 0;
    long frame = 0;
    long overrun = 0;
    long parity = 0;
    long buf_overrun = 0;
};

// Turns the driver's running fault counts into line-error events: one event
// for each kind whose count grew since the last look. A driver that keeps
// no counts (a pseudo-terminal) gives no events at all.
class LineErrorCounter {
public:
    using Source = std::function<std::optional<LineErrorCounts>()>;

    explicit LineErrorCounter(Source source);
    bool available() const { return last_.has_value(); }
    // The event codes of the faults since the last call, in code order.
    std::vector<int> new_events();

private:
    Source source_;
    std::optional<LineErrorCounts> last_;
};

// The counts of a tty's driver through TIOCGICOUNT; none when it keeps none.
std::optional<LineErrorCounts> read_driver_counts(int fd);

} // namespace quillon
