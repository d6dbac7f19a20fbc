// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillon {

// The telnet layer of a network serial port: commands, options and the
// com-port subnegotiations, shared by the program's client and the
// simulator's server.
namespace telnet {
constexpr std::uint8_t iac = 255, dont = 254, do_ = 253, wont = 252, will = 251, sb = 250, se = 240;
constexpr std::uint8_t binary = 0, suppress_go_ahead = 3, com_port = 44;

// Com-port commands, client to server; the server answers with code + 100.
namespace cpc {
constexpr std::uint8_t signature = 0, set_baudrate = 1, set_datasize = 2, set_parity = 3, set_stopsize = 4,
                       set_control = 5, notify_linestate = 6, notify_modemstate = 7, flowcontrol_suspend = 8,
                       flowcontrol_resume = 9, set_linestate_mask = 10, set_modemstate_mask = 11, purge_data = 12;
constexpr std::uint8_t server_offset = 100;
} // namespace cpc

namespace control {
constexpr std::uint8_t no_flow = 1, ask_dtr = 7, dtr_on = 8, dtr_off = 9;
}

namespace modem_state {
constexpr std::uint8_t cd = 0x80, ri = 0x40, dsr = 0x20, cts = 0x10;
}
namespace line_state {
constexpr std::uint8_t break_detected = 0x10, framing = 0x08, parity = 0x04, overrun = 0x02;
}

// Appends data to out with every 255 doubled.
void append_escaped(std::string& out, std::string_view data);
// Data with every 255 doubled, written over room: a sender that keeps its
// room escapes each write without an allocation.
const std::string& escaped(std::string& room, std::string_view data);
std::string option(std::uint8_t command, std::uint8_t opt);
// IAC SB opt payload IAC SE, the payload escaped.
std::string subnegotiation(std::uint8_t opt, std::string_view payload);
std::string com_port_command(std::uint8_t command, std::string_view value);

// Splits a received byte stream into data, option commands and
// subnegotiations; a sequence may be cut anywhere between two feeds.
class Parser {
public:
    std::function<void(std::string_view)> on_data;
    std::function<void(std::uint8_t command, std::uint8_t opt)> on_option;
    std::function<void(std::uint8_t opt, std::string_view payload)> on_subnegotiation;

    void feed(std::string_view bytes);

private:
    enum class State { data, iac, option, sub_option, sub_data, sub_iac };
    // Subnegotiations longer than this are not com-port commands; cut them.
    static constexpr std::size_t max_sub = 256;

    void flush_data(std::string& data);

    State state_ = State::data;
    std::uint8_t command_ = 0;
    std::uint8_t sub_opt_ = 0;
    std::string sub_;
};

} // namespace telnet
} // namespace quillon
