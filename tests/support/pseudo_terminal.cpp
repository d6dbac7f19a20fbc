// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pseudo_terminal.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <unistd.h>

namespace quillon::testing {

PseudoTerminal::PseudoTerminal() {
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
    for (int fd : {master, slave}) fcntl(fd, F_SETFD, FD_CLOEXEC); // programs the test starts get neither
}

PseudoTerminal::~PseudoTerminal() {
    if (slave >= 0) ::close(slave);
    close_master();
}

void PseudoTerminal::close_master() {
    if (master >= 0) ::close(master);
    master = -1;
}

void PseudoTerminal::send(const std::string& bytes) const {
    if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("pty write");
    ::usleep(20000);
}

std::string PseudoTerminal::read(std::size_t n, double seconds) const { return read_while(seconds, n, {}); }

std::string PseudoTerminal::read_until(const std::string& want, double seconds) const {
    return read_while(seconds, ~std::size_t{0}, want);
}

std::string PseudoTerminal::read_while(double seconds, std::size_t n, const std::string& want) const {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::duration<double>(seconds);
    std::string got;
    while (got.size() < n && (want.empty() || !got.ends_with(want))) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left > 0 ? left : 0)) <= 0) break;
        char buffer[4096];
        ssize_t r = ::read(master, buffer, std::min(sizeof buffer, n - got.size()));
        if (r > 0) got.append(buffer, static_cast<std::size_t>(r));
        else if (clock::now() > deadline) break;
        else ::usleep(20000); // the slave is not open yet
    }
    return got;
}

} // namespace quillon::testing
