// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/port_server.h"

#include "sim/tcp_listener.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace quillon::sim {

namespace {
// How often the modem's signal lines are looked at for changes to notify.
constexpr int signal_poll_ms = 20;
} // namespace

PortServer::PortServer(PollEventLoop& loop, HayesModem& modem, int port, Transcript& transcript,
                       std::function<double()> elapsed)
    : loop_(loop), modem_(modem), transcript_(transcript), elapsed_(std::move(elapsed)) {
    listen_fd_ = listen_on_loopback(port);
    port_ = bound_port(listen_fd_);
    listen_watch_ = loop_.watch_readable(listen_fd_, [this] { accept_client(); });
    poll_timer_ = loop_.start_timer(signal_poll_ms, [this] {
        if (!session_) return;
        ModemSignals s = modem_.signals();
        session_->modem_state(s.dcd, s.dsr, s.ri);
        if (output_ && !output_->flush()) drop_client();
    });
}

PortServer::~PortServer() {
    drop_client();
    loop_.stop_timer(poll_timer_);
    loop_.unwatch(listen_watch_);
    close(listen_fd_);
}

void PortServer::accept_client() {
    int fd = accept_connection(listen_fd_);
    if (fd < 0) return;
    if (client_fd_ >= 0) {
        // One computer per modem, as with a real serial cable.
        close(fd);
        return;
    }
    client_fd_ = fd;
    output_ = std::make_unique<SocketOutput>(fd);
    session_ = std::make_unique<Rfc2217ServerSession>(Rfc2217ServerSession::Outputs{
        [this](std::string_view bytes) { send(bytes); },
        [this](std::string_view data) {
            if (transcript_.open()) transcript_.record(elapsed_(), "computer " + modem_.number(), "modem", data);
            modem_.from_computer(data);
        },
        [this](bool on) { modem_.set_dtr(on); }});
    client_watch_ = loop_.watch_readable(fd, [this] { client_readable(); });
    modem_.set_listener(this);
    session_->start();
    ModemSignals s = modem_.signals();
    session_->modem_state(s.dcd, s.dsr, s.ri);
}

void PortServer::client_readable() {
    char buffer[16384];
    ssize_t n = recv(client_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) return drop_client();
    session_->from_client(std::string_view(buffer, static_cast<std::size_t>(n)));
}

void PortServer::drop_client() {
    if (client_fd_ < 0) return;
    modem_.set_listener(nullptr);
    loop_.unwatch(client_watch_);
    close(client_fd_);
    client_fd_ = -1;
    output_.reset();
    session_.reset();
    modem_.set_dtr(false);
}

void PortServer::modem_output(std::string_view bytes) {
    if (transcript_.open()) transcript_.record(elapsed_(), "modem " + modem_.number(), "computer", bytes);
    if (session_) session_->from_modem(bytes);
}

void PortServer::send(std::string_view bytes) {
    if (output_ && !output_->write(bytes)) loop_.post([this] { drop_client(); });
}

} // namespace quillon::sim
