// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/rfc2217_server_session.h"

namespace quillon::sim {

using namespace telnet;

Rfc2217ServerSession::Rfc2217ServerSession(Outputs outputs)
    : out_(std::move(outputs)), options_({binary, suppress_go_ahead}, {binary, suppress_go_ahead, com_port}) {
    parser_.on_data = [this](std::string_view data) {
        if (out_.to_modem) out_.to_modem(data);
    };
    parser_.on_option = [this](std::uint8_t command, std::uint8_t opt) { take_option(command, opt); };
    parser_.on_subnegotiation = [this](std::uint8_t opt, std::string_view payload) {
        if (opt == com_port) take_command(payload);
    };
}

void Rfc2217ServerSession::start() {
    out_.to_client(options_.request_do(com_port) + options_.request_will(binary) + options_.request_do(binary) +
                   options_.request_will(suppress_go_ahead) + options_.request_do(suppress_go_ahead));
}

void Rfc2217ServerSession::from_client(std::string_view bytes) { parser_.feed(bytes); }

void Rfc2217ServerSession::from_modem(std::string_view data) { out_.to_client(escaped(escaped_, data)); }

void Rfc2217ServerSession::take_option(std::uint8_t command, std::uint8_t opt) {
    std::string answer = options_.receive(command, opt);
    if (!answer.empty()) out_.to_client(answer);
    if (!com_port_ && options_.remote_on(com_port)) {
        com_port_ = true;
        notify_state();
    }
}

void Rfc2217ServerSession::take_command(std::string_view payload) {
    if (payload.empty()) return;
    auto command = static_cast<std::uint8_t>(payload[0]);
    std::string_view value = payload.substr(1);
    std::uint8_t first = value.empty() ? 0 : static_cast<std::uint8_t>(value[0]);
    switch (command) {
    case cpc::signature: reply(command, "Quillon line simulator"); break;
    case cpc::set_control:
        if (first == control::dtr_on || first == control::dtr_off) {
            dtr_ = first == control::dtr_on;
            if (out_.set_dtr) out_.set_dtr(dtr_);
            reply(command, value);
        } else if (first == control::ask_dtr) {
            reply(command, std::string(1, static_cast<char>(dtr_ ? control::dtr_on : control::dtr_off)));
        } else if (first == 0) {
            reply(command, std::string(1, static_cast<char>(control::no_flow)));
        } else {
            reply(command, value);
        }
        break;
    case cpc::notify_modemstate: notified_once_ = false; notify_state(); break;
    case cpc::set_modemstate_mask:
        mask_ = first;
        reply(command, value);
        break;
    case cpc::set_baudrate:
    case cpc::set_datasize:
    case cpc::set_parity:
    case cpc::set_stopsize:
    case cpc::set_linestate_mask:
    case cpc::purge_data: reply(command, value); break;
    default: break;
    }
    // A client that took our DO as its answer never says WILL; its first
    // com-port command shows the option is in use.
    if (!com_port_) {
        com_port_ = true;
        notify_state();
    }
}

void Rfc2217ServerSession::reply(std::uint8_t command, std::string_view value) {
    out_.to_client(com_port_command(static_cast<std::uint8_t>(command + cpc::server_offset), value));
}

void Rfc2217ServerSession::modem_state(bool cd, bool dsr, bool ri) {
    state_ = static_cast<std::uint8_t>((cd ? modem_state::cd : 0) | (dsr ? modem_state::dsr : 0) |
                                       (ri ? modem_state::ri : 0) | modem_state::cts);
    notify_state();
}

void Rfc2217ServerSession::notify_state() {
    if (!com_port_) return;
    std::uint8_t deltas = 0;
    if (notified_once_) {
        if ((state_ ^ notified_) & modem_state::cd) deltas |= 0x08;
        if ((notified_ & modem_state::ri) && !(state_ & modem_state::ri)) deltas |= 0x04;
        if ((state_ ^ notified_) & modem_state::dsr) deltas |= 0x02;
    }
    // Only changes of the bits the client asked for are worth a notification.
    bool worth = !notified_once_ || (((state_ ^ notified_) | deltas) & mask_) != 0;
    notified_ = state_;
    notified_once_ = true;
    if (worth) reply(cpc::notify_modemstate, std::string(1, static_cast<char>((state_ | deltas) & mask_)));
}

} // namespace quillon::sim
