// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace quillon::testing {

// A pseudo-terminal: the code under test opens the slave by name, the test
// plays the modem on the master. Programs the test starts inherit neither end.
struct PseudoTerminal {
    PseudoTerminal() {
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
        for (int fd : {master, slave}) fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    ~PseudoTerminal() {
        ::close(slave);
        close_master();
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The far end goes away, as an unplugged adapter does.
    void close_master() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    // Writes to the master and gives the pty a moment to hand the bytes over.
    void send(const std::string& bytes) const {
        if (::write(master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("pty write");
        ::usleep(20000);
    }
    // What the master reads until it has n bytes or they end with want, for
    // at most seconds; take() is whatever waits there now.
    std::string read(std::size_t n, double seconds = 10, const std::string& want = "") const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string got;
        while (got.size() < n && (want.empty() || !got.ends_with(want))) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) break;
            char buffer[4096];
            ssize_t r = ::read(master, buffer, std::min(sizeof buffer, n - got.size()));
            if (r <= 0) break;
            got.append(buffer, static_cast<std::size_t>(r));
        }
        return got;
    }
    std::string read_until(const std::string& want, double seconds) const { return read(~std::size_t{0}, seconds, want); }
    std::string take() const { return read(~std::size_t{0}, 0); }

    int master = -1;
    int slave = -1;
    char name[256] = {};
};

} // namespace quillon::testing
