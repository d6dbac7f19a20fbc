// SPDX-License-Identifier: GPL-3.0-or-later
// Needs QUILLON_PROGRAM_DIR, where the built programs are.
#pragma once

#include "support/child_process.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

namespace quillon::testing {

// The line simulator in a process of its own: modems 5551001 and 5551002
// and its control channel, each on a free port of 127.0.0.1.
struct TwoModems {
    explicit TwoModems(std::vector<std::string> options = {}) : sim(command(options)) {
        std::smatch m;
        std::string ready = sim.read_line(10).value_or("");
        EXPECT_TRUE(std::regex_search(ready, m, std::regex("5551001 on 127.0.0.1:(\\d+) 5551002 on 127.0.0.1:(\\d+), "
                                                           "control on 127.0.0.1:(\\d+)")))
            << ready;
        if (m.size() == 4) ports = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
    }
    static std::vector<std::string> command(std::vector<std::string> options) {
        options.insert(options.begin(), {std::string(QUILLON_PROGRAM_DIR) + "/quillon-linesim", "--modem", "5551001@0",
                                         "--modem", "5551002@0", "--control", "0"});
        return options;
    }
    ChildProcess sim;
    std::array<int, 3> ports{}; // 5551001, 5551002, control
};

} // namespace quillon::testing
