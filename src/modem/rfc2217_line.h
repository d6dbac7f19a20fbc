// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "modem/line.h"
#include "modem/queued_output.h"
#include "modem/telnet_codec.h"
#include "modem/telnet_options.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quillon {

// A network serial port ("rfc2217://host:port"): telnet with the com-port
// option. It sends its requests and goes on; answers and notifications are
// taken whenever they come. Opening looks the name up and connects on a
// worker thread while the event loop goes on.
class Rfc2217Line : public Line {
public:
    // Throws LineError when the address is bad or the port cannot be reached.
    Rfc2217Line(EventLoop& loop, const std::string& address);
    ~Rfc2217Line() override;

    void write(std::string_view bytes) override;
    void read_available(std::string& into) override;
    std::size_t bytes_waiting() override { return received_.size(); }
    std::size_t output_pending() override;
    ModemLines modem_lines() override;
    void set_dtr(bool on) override;
    void set_listener(LineListener* listener) override { listener_ = listener; }

private:
    void readable();
    void take_option(std::uint8_t command, std::uint8_t opt);
    void take_subnegotiation(std::uint8_t opt, std::string_view payload);
    void send_raw(const std::string& bytes);
    void connect(const std::string& host, int port);
    void wait_for_first_state();
    void lost();

    EventLoop& loop_;
    std::string address_;
    int fd_ = -1;
    std::unique_ptr<QueuedOutput> output_;
    telnet::Parser parser_;
    telnet::OptionNegotiator options_;
    EventLoop::Handle watch_ = 0;
    LineListener* listener_ = nullptr;
    std::string received_;
    // The last write as it goes out, kept for its room.
    std::string escaped_;
    std::uint8_t modem_state_ = 0;
    bool state_known_ = false;
    bool lost_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon
