// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/child_process.h"

#include <regex>
#include <string>
#include <vector>

namespace quillon::bench {

// The real line simulator with two modems, 5551001 and 5551002, each on a
// network serial port of 127.0.0.1; a port is 0 when it did not start.
struct LineSimulator {
    explicit LineSimulator(const std::vector<std::string> &options = {})
        : child(command(options)) {
        std::smatch m;
        std::string ready = child.read_line(10).value_or("");
        if (std::regex_search(ready, m, std::regex("5551001 on 127.0.0.1:(\\d+) 5551002 on 127.0.0.1:(\\d+)"))) {
            a = std::stoi(m[1]);
            b = std::stoi(m[2]);
        }
    }
    static std::vector<std::string> command(const std::vector<std::string> &options) {
        std::vector<std::string> argv{std::string(QUILLON_PROGRAM_DIR) + "/quillon-linesim", "--modem", "5551001@0",
                                      "--modem", "5551002@0"};
        argv.insert(argv.end(), options.begin(), options.end());
        return argv;
    }
    testing::ChildProcess child;
    int a = 0, b = 0;
};

} // namespace quillon::bench
