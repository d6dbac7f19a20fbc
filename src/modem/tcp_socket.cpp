// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/tcp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace quillon {

namespace {
int try_connect(const addrinfo& ai, double timeout_seconds, int& error) {
    int fd = socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (connect(fd, ai.ai_addr, ai.ai_addrlen) != 0 && errno != EINPROGRESS) {
        error = errno;
        close(fd);
        return -1;
    }
    pollfd p{fd, POLLOUT, 0};
    int ready = poll(&p, 1, static_cast<int>(timeout_seconds * 1000));
    socklen_t len = sizeof error;
    if (ready <= 0) error = ETIMEDOUT;
    else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
    if (ready <= 0 || error != 0) {
        close(fd);
        return -1;
    }
    int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}
} // namespace

int connect_tcp(const std::string& host, int port, double timeout_seconds) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) throw std::runtime_error(gai_strerror(rc));
    int error = ECONNREFUSED;
    int fd = -1;
    for (addrinfo* ai = found; ai && fd < 0; ai = ai->ai_next) fd = try_connect(*ai, timeout_seconds, error);
    freeaddrinfo(found);
    if (fd < 0) throw std::runtime_error(std::strerror(error));
    return fd;
}

SocketOutput::SocketOutput(int fd)
    : FdOutput([fd](const char* data, std::size_t size) { return send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT); }) {}

} // namespace quillon
