// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "modem/assumed_carrier.h"
#include "modem/line.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillon {

// MSComm1: the serial control the handlers talk to. Maps port numbers 1 to 4
// to devices, opens and closes the Line, and raises OnComm on the loop for
// arrivals (code 2) and line errors. Every byte it takes off the line is
// announced by a receive event, however it was taken. Received NULs are
// dropped once NullDiscard is set.
class SerialControl : private LineListener {
public:
    // devices() is asked at every open, so a port map edited between opens
    // takes effect.
    SerialControl(EventLoop& loop, LineOpener opener, std::function<std::map<int, std::string>()> devices);
    ~SerialControl() override;

    void set_comm_port(int port); // throws LineError while open or when out of range
    int comm_port() const { return comm_port_; }
    void set_port_open(bool open); // throws LineError
    bool port_open() const { return line_ != nullptr; }
    std::string device_of(int port) const;

    void output(std::string_view text);
    // Bytes written that have not yet crossed the line, at its rate.
    std::size_t out_buffer_count();
    // Hands over what arrived in `into`, whose own buffer, emptied, takes
    // the next arrivals: passing the same string each time allocates nothing.
    void input(std::string& into);
    int comm_event() const { return comm_event_; }
    bool cd_holding();
    bool dsr_holding();
    bool ri_holding();
    void set_dtr_enable(bool on);
    bool dtr_enable() const { return dtr_; }
    std::size_t in_buffer_count();
    void set_rthreshold(int n) { rthreshold_ = n; }
    int rthreshold() const { return rthreshold_; }
    void set_null_discard(bool on) { null_discard_ = on; }
    bool null_discard() const { return null_discard_; }
    void set_input_mode(int mode) { input_mode_ = mode; }
    // RTS/CTS on the open line and on the lines opened from now on, where
    // they have it. True when the open line took it at once.
    bool set_hardware_flow(bool on);
    bool hardware_flow() const { return hardware_flow_; }
    // For links without modem lines: DSR reads as on while the port is
    // open, and the carrier as the modem's words tell it (up from CONNECT
    // until NO CARRIER or DTR lowered). From the next opening of the port:
    // the words of a call already under way were not watched.
    void set_ignore_modem_lines(bool on) { ignore_modem_lines_ = on; }
    bool ignore_modem_lines() const { return ignore_modem_lines_; }
    // Waits, yielding to the loop and for max_drain_seconds at most, until
    // what was written has left the computer and had time to cross the
    // line: the modem drops what it still holds when DTR falls.
    void drain_output();

    // The OnComm event; comm_event() tells what it reports.
    std::function<void()> on_comm;
    // Told, instead of a port error, when the open device has gone; the
    // port is closed by then.
    std::function<void(const std::string& device)> on_device_lost;

private:
    void line_readable() override;
    void line_error(int event_code) override;
    void take_from_line();
    void pull();
    void announce();
    void raise(int code);

    EventLoop& loop_;
    LineOpener opener_;
    std::function<std::map<int, std::string>()> devices_;
    std::unique_ptr<Line> line_;
    std::string device_;
    std::string received_;
    int comm_port_ = 1;
    int comm_event_ = 0;
    int rthreshold_ = 1;
    int input_mode_ = 0;
    bool null_discard_ = false;
    bool dtr_ = true;
    bool hardware_flow_ = false;
    bool ignore_modem_lines_ = false;
    bool lines_ignored_ = false; // for the open line
    AssumedCarrier assumed_;
    bool receive_pending_ = false;
    // Inside a write to the line or a read from it.
    bool in_line_call_ = false;
    bool opening_ = false;
    // When the last byte written will have crossed the line, at its rate.
    double line_clear_at_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon
