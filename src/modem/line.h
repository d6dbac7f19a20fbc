// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillon {

// Line-error event codes of the serial control; 2 is "characters received".
namespace comm_event {
constexpr int receive = 2;
constexpr int break_signal = 1001;
constexpr int framing = 1004;
constexpr int overrun = 1006;
constexpr int rx_overflow = 1008;
constexpr int parity = 1009;
constexpr int tx_full = 1010;
constexpr int port_error = 1011;
} // namespace comm_event

// A failure to open or use a line; what() is the description shown to the user.
class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A device that is there but cannot be used (no right to it, another
// program holds it, it refuses the line's settings); what() says why.
class DeviceUnavailable : public LineError {
public:
    using LineError::LineError;
};

struct ModemLines {
    bool dcd = false; // carrier detect
    bool dsr = false; // modem on and ready
    bool ri = false;  // ring indicator
};

// Told by a Line, from the event loop, when something arrives.
class LineListener {
public:
    virtual ~LineListener() = default;
    virtual void line_readable() = 0;
    virtual void line_error(int event_code) = 0;
};

// One open connection to a modem: a tty, an RFC 2217 port or an emulated
// modem. Closing is destruction.
class Line {
public:
    virtual ~Line() = default;
    // Queues bytes for the modem, unchanged and in call order. Never blocks
    // for long; throws LineError when the line is gone.
    virtual void write(std::string_view bytes) = 0;
    // Appends every byte received and not yet read to into, a buffer the
    // caller keeps, so that taking an arrival allocates nothing.
    virtual void read_available(std::string& into) = 0;
    virtual std::size_t bytes_waiting() = 0;
    // Bytes written that have not left the computer yet.
    virtual std::size_t output_pending() { return 0; }
    virtual ModemLines modem_lines() = 0;
    virtual void set_dtr(bool on) = 0;
    virtual void set_listener(LineListener* listener) = 0;
    // True once the device itself has gone (unplugged, hung up) and been
    // let go of; only opening it anew can help then.
    virtual bool gone() const { return false; }
    // Hardware flow control (RTS/CTS) on or off; false where the line has
    // no say over it.
    virtual bool set_flow_control(bool /*rts_cts*/) { return false; }
};

// Opens the device a port maps to ("/dev/ttyS0", "rfc2217://host:port", ...);
// throws LineError with a description the user can act on.
using LineOpener = std::function<std::unique_ptr<Line>(const std::string& device)>;

} // namespace quillon
