// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/queued_output.h"

#include <cerrno>

namespace quillon {

bool FdOutput::write(std::string_view bytes) {
    if (!buffer_.empty()) {
        buffer_.append(bytes);
        return flush();
    }
    // Nothing waits before them: the bytes go out from where they are and
    // only what the descriptor leaves is kept.
    bool ok = send_from(bytes);
    buffer_.append(bytes);
    return ok;
}

bool FdOutput::flush() {
    std::string_view rest = buffer_;
    bool ok = send_from(rest);
    buffer_.erase(0, buffer_.size() - rest.size());
    return ok;
}

bool FdOutput::send_from(std::string_view& rest) {
    while (!rest.empty()) {
        ssize_t n = sender_(rest.data(), rest.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        if (n == 0) return true;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

QueuedOutput::QueuedOutput(EventLoop& loop, FdOutput::Sender sender) : loop_(loop), output_(std::move(sender)) {}

QueuedOutput::~QueuedOutput() { stop(); }

void QueuedOutput::stop() {
    if (timer_) loop_.stop_timer(timer_);
    timer_ = 0;
}

bool QueuedOutput::write(std::string_view bytes) {
    bool was_empty = !output_.pending();
    if (!output_.write(bytes)) return false;
    if (output_.pending()) {
        if (was_empty) last_progress_ = loop_.monotonic();
        keep_flushing();
    }
    return true;
}

// The descriptor took only part: try again shortly, in order, until it takes all.
void QueuedOutput::keep_flushing() {
    if (!timer_) timer_ = loop_.start_timer(10, [this] { flush_tick(); });
}

void QueuedOutput::flush_tick() {
    std::size_t before = output_.size();
    if (!output_.flush()) {
        stop();
        if (on_failed) on_failed();
        return;
    }
    double now = loop_.monotonic();
    if (output_.size() < before) {
        last_progress_ = now;
        stall_reported_ = false;
    }
    if (!output_.pending()) return stop();
    if (!stall_reported_ && now - last_progress_ >= stall_seconds) {
        stall_reported_ = true;
        if (on_stalled) on_stalled();
    }
}

} // namespace quillon
