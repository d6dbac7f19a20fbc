// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "modem/line.h"
#include "modem/line_error_counter.h"
#include "modem/queued_output.h"
#include "modem/tty_lock.h"

#include <memory>
#include <string>

namespace quillon {

// A Line on a real tty: raw 8N1 at 56000 bit/s (57600 where the driver
// refuses a custom rate), DTR, DSR and DCD through the modem-control ioctls,
// line errors from the driver's fault counts. The device is held through a
// UUCP lock file, flock and TIOCEXCL. A tty that is hung up or vanishes is
// reported once and let go of at once, lock and all; opening the port again
// reopens it. Input the device held before the opening is discarded. A tty without modem-control lines reads DSR and DCD as absent.
class TermiosLine : public Line {
public:
    // lock_dir: where the lock file goes; the system's lock directory by default.
    TermiosLine(EventLoop& loop, const std::string& device, const std::string& lock_dir = TtyLock::system_lock_dir());
    ~TermiosLine() override;
    TermiosLine(const TermiosLine&) = delete;
    TermiosLine& operator=(const TermiosLine&) = delete;

    void write(std::string_view bytes) override;
    void read_available(std::string& into) override;
    std::size_t bytes_waiting() override;
    std::size_t output_pending() override;
    ModemLines modem_lines() override;
    void set_dtr(bool on) override;
    void set_listener(LineListener* listener) override { listener_ = listener; }

    // The rate in force: 56000, or 57600 where the driver refused 56000.
    int rate() const { return rate_; }
    bool gone() const override { return lost_; }
    bool set_flow_control(bool rts_cts) override;

private:
    void open_device();
    void configure();
    void readable();
    void take_input(std::string& into);
    void check_line_errors();
    void lost();
    void close_device();
    void report(int event_code);

    EventLoop& loop_;
    std::string device_;
    std::unique_ptr<TtyLock> lock_;
    int fd_ = -1;
    int rate_ = 0;
    std::unique_ptr<QueuedOutput> output_;
    std::unique_ptr<LineErrorCounter> errors_;
    EventLoop::Handle watch_ = 0;
    EventLoop::Handle error_timer_ = 0;
    LineListener* listener_ = nullptr;
    std::string pending_;
    bool lost_ = false;
};

} // namespace quillon
