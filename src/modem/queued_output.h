// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quillon {

// Bytes a non-blocking descriptor has not taken yet, in order. The sender
// is write(2) or send(2): it returns what it took, or -1 with errno set.
class FdOutput {
public:
    using Sender = std::function<ssize_t(const char* data, std::size_t size)>;
    explicit FdOutput(Sender sender) : sender_(std::move(sender)) {}

    // Queues bytes and sends what the descriptor takes; false when it failed.
    bool write(std::string_view bytes);
    bool flush();
    bool pending() const { return !buffer_.empty(); }
    std::size_t size() const { return buffer_.size(); }

private:
    // Sends from the front of rest until the descriptor takes no more;
    // rest is left as what it did not take.
    bool send_from(std::string_view& rest);

    Sender sender_;
    std::string buffer_;
};

// An FdOutput that goes on sending from the event loop until the
// descriptor has taken everything, so a write never waits for room. A queue
// the descriptor takes nothing from for stall_seconds is reported once
// until it moves again: the far end has stopped taking bytes.
class QueuedOutput {
public:
    static constexpr double stall_seconds = 5.0;

    QueuedOutput(EventLoop& loop, FdOutput::Sender sender);
    ~QueuedOutput();
    QueuedOutput(const QueuedOutput&) = delete;
    QueuedOutput& operator=(const QueuedOutput&) = delete;

    // False when the descriptor failed.
    bool write(std::string_view bytes);
    std::size_t size() const { return output_.size(); }
    // Stops sending for good; what is queued is dropped.
    void stop();

    std::function<void()> on_failed;
    std::function<void()> on_stalled;

private:
    void keep_flushing();
    void flush_tick();

    EventLoop& loop_;
    FdOutput output_;
    EventLoop::Handle timer_ = 0;
    double last_progress_ = 0;
    bool stall_reported_ = false;
};

} // namespace quillon
