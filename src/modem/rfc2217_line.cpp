// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/rfc2217_line.h"

#include "modem/serial_rate.h"
#include "modem/tcp_socket.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <future>
#include <stdexcept>

namespace quillon {

namespace {
constexpr double connect_timeout = 3.0;
// How long opening waits for the first modem state, so that start-up sees
// the modem as it is; a server that sends none is not waited for longer.
constexpr double first_state_wait = 1.0;

std::string big_endian(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

void parse_address(const std::string& address, std::string& host, int& port) {
    const std::string scheme = "rfc2217://";
    std::string rest = address.substr(address.rfind(scheme, 0) == 0 ? scheme.size() : 0);
    while (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0) throw LineError(address + " is not a network port (rfc2217://host:port)");
    host = rest.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    std::string digits = rest.substr(colon + 1);
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || port < 1 || port > 65535)
        throw LineError(address + " has no valid port number");
}
} // namespace

Rfc2217Line::Rfc2217Line(EventLoop& loop, const std::string& address)
    : loop_(loop), address_(address),
      options_({telnet::binary, telnet::suppress_go_ahead, telnet::com_port},
               {telnet::binary, telnet::suppress_go_ahead}) {
    std::string host;
    int port = 0;
    parse_address(address, host, port);
    connect(host, port);
    output_ = std::make_unique<QueuedOutput>(loop_, [fd = fd_](const char* data, std::size_t size) {
        return send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    });
    output_->on_failed = [this] { lost(); };
    output_->on_stalled = [this] {
        if (listener_) listener_->line_error(comm_event::tx_full);
    };
    parser_.on_data = [this](std::string_view data) { received_.append(data); };
    parser_.on_option = [this](std::uint8_t command, std::uint8_t opt) { take_option(command, opt); };
    parser_.on_subnegotiation = [this](std::uint8_t opt, std::string_view payload) {
        take_subnegotiation(opt, payload);
    };

    std::string hello = options_.request_will(telnet::com_port) + options_.request_will(telnet::binary) +
                        options_.request_do(telnet::binary) + options_.request_will(telnet::suppress_go_ahead) +
                        options_.request_do(telnet::suppress_go_ahead);
    hello += telnet::com_port_command(telnet::cpc::set_baudrate, big_endian(line_rate));
    hello += telnet::com_port_command(telnet::cpc::set_datasize, std::string(1, 8));
    hello += telnet::com_port_command(telnet::cpc::set_parity, std::string(1, 1));
    hello += telnet::com_port_command(telnet::cpc::set_stopsize, std::string(1, 1));
    hello += telnet::com_port_command(telnet::cpc::set_control, std::string(1, telnet::control::no_flow));
    hello += telnet::com_port_command(telnet::cpc::set_linestate_mask,
                                      std::string(1, static_cast<char>(telnet::line_state::break_detected |
                                                                       telnet::line_state::framing |
                                                                       telnet::line_state::parity |
                                                                       telnet::line_state::overrun)));
    hello += telnet::com_port_command(telnet::cpc::set_modemstate_mask, std::string(1, static_cast<char>(0xFF)));
    send_raw(hello);

    wait_for_first_state();
}

// Name look-up and connect may take seconds: they run on a worker while the
// window's loop goes on.
void Rfc2217Line::connect(const std::string& host, int port) {
    auto connecting = std::async(std::launch::async, [host, port] { return connect_tcp(host, port, connect_timeout); });
    while (connecting.wait_for(std::chrono::seconds(0)) != std::future_status::ready) loop_.wait_for_events(0.02);
    try {
        fd_ = connecting.get();
    } catch (const std::runtime_error& e) {
        throw LineError("Cannot connect to " + address_ + ": " + e.what());
    }
}

// Start-up then sees the modem as it is; a server that sends no state is
// not waited for longer.
void Rfc2217Line::wait_for_first_state() {
    watch_ = loop_.watch_readable(fd_, [this] { readable(); });
    double deadline = loop_.monotonic() + first_state_wait;
    for (double now = loop_.monotonic(); !lost_ && !state_known_ && now < deadline; now = loop_.monotonic())
        loop_.wait_for_events(deadline - now);
    if (!lost_) return;
    output_.reset();
    close(fd_);
    throw LineError("Cannot connect to " + address_ + ": the connection was closed");
}

Rfc2217Line::~Rfc2217Line() {
    *alive_ = false;
    if (watch_) loop_.unwatch(watch_);
    output_.reset();
    if (fd_ >= 0) close(fd_);
}

void Rfc2217Line::readable() {
    if (lost_) return;
    char buffer[16384];
    ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) return lost();
    std::size_t before = received_.size();
    parser_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    if (received_.size() > before && listener_ && watch_) listener_->line_readable();
}

void Rfc2217Line::take_option(std::uint8_t command, std::uint8_t opt) {
    std::string reply = options_.receive(command, opt);
    if (!reply.empty()) send_raw(reply);
}

void Rfc2217Line::take_subnegotiation(std::uint8_t opt, std::string_view payload) {
    if (opt != telnet::com_port || payload.size() < 2) return;
    auto command = static_cast<std::uint8_t>(payload[0]);
    auto value = static_cast<std::uint8_t>(payload[1]);
    if (command == telnet::cpc::notify_modemstate + telnet::cpc::server_offset) {
        modem_state_ = value;
        state_known_ = true;
    } else if (command == telnet::cpc::notify_linestate + telnet::cpc::server_offset && listener_) {
        if (value & telnet::line_state::break_detected) listener_->line_error(comm_event::break_signal);
        if (value & telnet::line_state::framing) listener_->line_error(comm_event::framing);
        if (value & telnet::line_state::parity) listener_->line_error(comm_event::parity);
        if (value & telnet::line_state::overrun) listener_->line_error(comm_event::overrun);
    }
}

void Rfc2217Line::write(std::string_view bytes) {
    if (lost_) return;
    send_raw(telnet::escaped(escaped_, bytes));
}

void Rfc2217Line::send_raw(const std::string& bytes) {
    if (lost_) return;
    if (!output_->write(bytes)) lost();
}

std::size_t Rfc2217Line::output_pending() {
    int unsent = 0;
    if (lost_ || ioctl(fd_, SIOCOUTQ, &unsent) != 0) unsent = 0;
    return (lost_ ? 0 : output_->size()) + static_cast<std::size_t>(unsent);
}

void Rfc2217Line::read_available(std::string& into) {
    into += received_;
    received_.clear();
}

ModemLines Rfc2217Line::modem_lines() {
    if (lost_) return {};
    return {(modem_state_ & telnet::modem_state::cd) != 0, (modem_state_ & telnet::modem_state::dsr) != 0,
            (modem_state_ & telnet::modem_state::ri) != 0};
}

void Rfc2217Line::set_dtr(bool on) {
    send_raw(telnet::com_port_command(telnet::cpc::set_control,
                                      std::string(1, on ? telnet::control::dtr_on : telnet::control::dtr_off)));
}

// Reported once; from then on the modem reads as absent and writes go nowhere.
void Rfc2217Line::lost() {
    if (lost_) return;
    lost_ = true;
    if (watch_) {
        loop_.unwatch(watch_);
        watch_ = 0;
    }
    output_->stop();
    if (!listener_) return;
    loop_.post([this, alive = alive_] {
        if (*alive && listener_) listener_->line_error(comm_event::port_error);
    });
}

} // namespace quillon
