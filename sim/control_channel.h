// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "sim/exchange.h"

#include <map>
#include <string>

namespace quillon::sim {

// Answers one line to each command line: what tests and demos use to look
// at the exchange and inject faults.
std::string control_command(Exchange& exchange, const std::string& line);

// The control commands on a loopback TCP port, for any number of clients.
class ControlChannel {
public:
    ControlChannel(PollEventLoop& loop, Exchange& exchange, int port);
    ~ControlChannel();
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;
    int port() const { return port_; }

private:
    struct Client {
        EventLoop::Handle watch;
        std::string pending;
    };
    void accept_client();
    void readable(int fd);
    void close_client(int fd);

    PollEventLoop& loop_;
    Exchange& exchange_;
    int listen_fd_;
    int port_;
    EventLoop::Handle listen_watch_;
    std::map<int, Client> clients_;
};

} // namespace quillon::sim
