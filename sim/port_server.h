// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "modem/tcp_socket.h"
#include "sim/hayes_modem.h"
#include "sim/rfc2217_server_session.h"
#include "sim/transcript.h"

#include <functional>
#include <memory>

namespace quillon::sim {

// Serves one emulated modem as an RFC 2217 port on 127.0.0.1, to one
// client at a time. A closed connection is DTR going low.
class PortServer : private ModemListener {
public:
    // Throws std::runtime_error when the port cannot be listened on.
    PortServer(PollEventLoop& loop, HayesModem& modem, int port, Transcript& transcript,
               std::function<double()> elapsed);
    ~PortServer() override;
    PortServer(const PortServer&) = delete;
    PortServer& operator=(const PortServer&) = delete;

    int port() const { return port_; }

private:
    void accept_client();
    void client_readable();
    void drop_client();
    void modem_output(std::string_view bytes) override;
    void send(std::string_view bytes);

    PollEventLoop& loop_;
    HayesModem& modem_;
    Transcript& transcript_;
    std::function<double()> elapsed_;
    int listen_fd_ = -1;
    int port_ = 0;
    EventLoop::Handle listen_watch_ = 0;
    int client_fd_ = -1;
    EventLoop::Handle client_watch_ = 0;
    EventLoop::Handle poll_timer_ = 0;
    std::unique_ptr<SocketOutput> output_;
    std::unique_ptr<Rfc2217ServerSession> session_;
};

} // namespace quillon::sim
