#pragma once

#include "app/event_loop.h"
#include "modem/line.h"

#include <string>

namespace quillon {

// A Line on a real tty: raw 8N1 at 56000 bit/s (57600 where the driver
// refuses a custom rate), DTR, DSR and DCD through the modem-control ioctls.
// A tty without modem-control lines reads DSR and DCD as absent.
class TermiosLine : public Line {
public:
    TermiosLine(EventLoop& loop, const std::string& device);
    ~TermiosLine() override;
    TermiosLine(const TermiosLine&) = delete;
    TermiosLine& operator=(const TermiosLine&) = delete;

    void write(std::string_view bytes) override;
    std::string read_available() override;
    std::size_t bytes_waiting() override;
    ModemLines modem_lines() override;
    void set_dtr(bool on) override;
    void set_listener(LineListener* listener) override { listener_ = listener; }

private:
    void readable();

    EventLoop& loop_;
    std::string device_;
    int fd_ = -1;
    EventLoop::Handle watch_ = 0;
    LineListener* listener_ = nullptr;
    std::string pending_;
};

} // namespace quillon
