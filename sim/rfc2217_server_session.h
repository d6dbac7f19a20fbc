// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/telnet_codec.h"
#include "modem/telnet_options.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillon::sim {

// The server's half of one RFC 2217 connection, without the socket: bytes
// from the client in; bytes for the client, data and DTR for the modem out.
class Rfc2217ServerSession {
public:
    struct Outputs {
        std::function<void(std::string_view)> to_client;
        std::function<void(std::string_view)> to_modem;
        std::function<void(bool)> set_dtr;
    };

    explicit Rfc2217ServerSession(Outputs outputs);

    // What a server says as soon as it accepts.
    void start();
    void from_client(std::string_view bytes);
    void from_modem(std::string_view data);
    // Sends NOTIFY-MODEMSTATE when the state changed (and the client agreed
    // to the com-port option).
    void modem_state(bool cd, bool dsr, bool ri);

private:
    void take_option(std::uint8_t command, std::uint8_t opt);
    void take_command(std::string_view payload);
    void reply(std::uint8_t command, std::string_view value);
    void notify_state();

    Outputs out_;
    telnet::Parser parser_;
    telnet::OptionNegotiator options_;
    bool com_port_ = false;
    bool dtr_ = false;
    std::uint8_t state_ = 0;
    std::uint8_t notified_ = 0;
    bool notified_once_ = false;
    std::uint8_t mask_ = 0xFF;
    // The last data for the client as it goes out, kept for its room.
    std::string escaped_;
};

} // namespace quillon::sim
