// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace quillon::testing {

// A pseudo-terminal: the code under test opens the slave by name, the test
// plays the modem on the master.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Writes to the master and gives the pty a moment to hand the bytes over.
    void send(const std::string& bytes) const;
    // What the master reads until it has n bytes, or until what it read ends
    // with want; either way no longer than seconds.
    std::string read(std::size_t n, double seconds = 10) const;
    std::string read_until(const std::string& want, double seconds) const;
    // Whatever is waiting on the master now.
    std::string take() const { return read(~std::size_t{0}, 0); }
    // The far end goes away, as an unplugged adapter does.
    void close_master();

    int master = -1;
    int slave = -1;
    char name[256] = {};

private:
    std::string read_while(double seconds, std::size_t n, const std::string& want) const;
};

} // namespace quillon::testing
