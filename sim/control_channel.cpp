// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/control_channel.h"

#include "sim/tcp_listener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <sstream>

namespace quillon::sim {

namespace {

constexpr const char* help_text =
    "commands: list | drop NUMBER | noise NUMBER RATE | busy NUMBER on|off | unplug NUMBER on|off | "
    "power NUMBER on|off | answer NUMBER on|off";

std::string describe(const Exchange::LineStatus& s) {
    std::string out = s.number + " " + s.state;
    if (!s.peer.empty()) out += " with " + s.peer;
    if (!s.powered) out += " off";
    if (s.busy) out += " busy";
    if (s.unplugged) out += " unplugged";
    if (!s.answering) out += " not-answering";
    if (s.noise > 0) {
        std::ostringstream rate;
        rate << s.noise;
        out += " noise " + rate.str();
    }
    return out;
}

} // namespace

std::string control_command(Exchange& exchange, const std::string& line) {
    std::istringstream in(line);
    std::string command, number, arg, extra;
    in >> command >> number >> arg >> extra;
    if (command.empty()) return "ERROR empty command; " + std::string(help_text);
    if (command == "help") return help_text;
    if (command == "list") {
        std::string out;
        for (const auto& status : exchange.list()) out += (out.empty() ? "" : "; ") + describe(status);
        return out.empty() ? "no lines" : out;
    }
    static const std::set<std::string> commands{"drop", "noise", "busy", "unplug", "power", "answer"};
    if (!commands.count(command)) return "ERROR unknown command " + command + "; " + help_text;
    if (number.empty()) return "ERROR " + command + " needs a number";
    if (!exchange.find(number)) return "ERROR no line " + number;
    if (command == "drop") {
        if (!arg.empty()) return "ERROR drop takes only a number";
        return exchange.drop(number) ? "OK" : "ERROR no call on " + number;
    }
    if (command == "noise") {
        char* end = nullptr;
        double rate = std::strtod(arg.c_str(), &end);
        if (arg.empty() || *end != '\0' || rate < 0 || rate > 1) return "ERROR noise RATE is a number from 0 to 1";
        exchange.set_noise(number, rate);
        return "OK";
    }
    if (arg != "on" && arg != "off") return "ERROR " + command + " takes on or off";
    bool on = arg == "on";
    if (command == "busy") exchange.set_busy(number, on);
    else if (command == "unplug") exchange.set_unplugged(number, on);
    else if (command == "power") exchange.set_power(number, on);
    else exchange.set_answering(number, on);
    return "OK";
}

ControlChannel::ControlChannel(PollEventLoop& loop, Exchange& exchange, int port)
    : loop_(loop), exchange_(exchange), listen_fd_(listen_on_loopback(port)), port_(bound_port(listen_fd_)) {
    listen_watch_ = loop_.watch_readable(listen_fd_, [this] { accept_client(); });
}

ControlChannel::~ControlChannel() {
    while (!clients_.empty()) close_client(clients_.begin()->first);
    loop_.unwatch(listen_watch_);
    close(listen_fd_);
}

void ControlChannel::accept_client() {
    int fd = accept_connection(listen_fd_);
    if (fd < 0) return;
    clients_[fd] = {loop_.watch_readable(fd, [this, fd] { readable(fd); }), {}};
}

void ControlChannel::readable(int fd) {
    char buffer[4096];
    ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) return close_client(fd);
    std::string& pending = clients_[fd].pending;
    pending.append(buffer, static_cast<std::size_t>(n));
    if (pending.size() > 4096) return close_client(fd);
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string answer = control_command(exchange_, line) + "\n";
        if (send(fd, answer.data(), answer.size(), MSG_NOSIGNAL) < 0) return close_client(fd);
    }
}

void ControlChannel::close_client(int fd) {
    auto it = clients_.find(fd);
    if (it == clients_.end()) return;
    loop_.unwatch(it->second.watch);
    close(fd);
    clients_.erase(it);
}

} // namespace quillon::sim
