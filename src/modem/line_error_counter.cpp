// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/line_error_counter.h"

#include "modem/line.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace quillon {

LineErrorCounter::LineErrorCounter(Source source) : source_(std::move(source)), last_(source_()) {}

std::vector<int> LineErrorCounter::new_events() {
    std::vector<int> events;
    if (!last_) return events;
    std::optional<LineErrorCounts> now = source_();
    if (!now) return events;
    const LineErrorCounts& was = *last_;
    if (now->brk > was.brk) events.push_back(comm_event::break_signal);
    if (now->frame > was.frame) events.push_back(comm_event::framing);
    if (now->overrun > was.overrun) events.push_back(comm_event::overrun);
    if (now->buf_overrun > was.buf_overrun) events.push_back(comm_event::rx_overflow);
    if (now->parity > was.parity) events.push_back(comm_event::parity);
    last_ = now;
    return events;
}

std::optional<LineErrorCounts> read_driver_counts(int fd) {
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0) return std::nullopt;
    return LineErrorCounts{counts.brk, counts.frame, counts.overrun, counts.parity, counts.buf_overrun};
}

} // namespace quillon
