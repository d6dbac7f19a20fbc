// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon::sim {

// What quillon-linesim was asked to simulate.
struct LinesimOptions {
    struct Modem {
        std::string number;
        int port;
    };
    std::vector<Modem> modems;
    std::vector<std::string> test_lines;
    double rate_bps = 56000;
    double latency_ms = 40;
    std::string transcript;
    int control_port = -1;
    std::string connect_text; // empty: "CONNECT" and the rate
    bool help = false;
    bool version = false;
};

extern const char* const linesim_usage;

// Reads the command line; throws std::invalid_argument with a message
// that names the bad argument.
LinesimOptions parse_linesim_options(const std::vector<std::string>& args);

} // namespace quillon::sim
