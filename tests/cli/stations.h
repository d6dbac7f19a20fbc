// SPDX-License-Identifier: GPL-3.0-or-later
// The real program from the command line on the line simulator, without a
// display: what the process tests share.
#pragma once

#include "support/temp_dir.h"
#include "support/two_modems.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace quillon::testing {

namespace fs = std::filesystem;
inline const std::string program_dir = QUILLON_PROGRAM_DIR;

// A copy of the program with its own files, its port 1 on one modem.
struct Station {
    explicit Station(int modem_port) {
        std::error_code ec;
        fs::create_hard_link(program_dir + "/quillon", dir.file("quillon"), ec);
        if (ec) fs::copy_file(program_dir + "/quillon", dir.file("quillon"));
        dir.write("quillon.ini", "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=rfc2217://127.0.0.1:" +
                                     std::to_string(modem_port) + "\nCOMM3=/dev/quillon-no-such-port\n");
        fs::create_directory(dir.file("in"));
    }
    std::unique_ptr<ChildProcess> run(std::vector<std::string> args) {
        args.insert(args.begin(), dir.file("quillon"));
        return std::make_unique<ChildProcess>(args, true);
    }
    // Its session log, every day of it.
    std::string session_log() {
        std::string all;
        std::error_code ec;
        for (const auto& day : fs::directory_iterator(dir.file("sessions"), ec)) all += dir.read("sessions/" + day.path().filename().string());
        return all;
    }
    TempDir dir;
};

// Every line it says until it ends; its status.
inline std::pair<int, std::string> outcome(ChildProcess& p, double seconds) {
    std::string said;
    while (auto line = p.read_line(seconds)) said += *line + "\n";
    return {p.wait(5).value_or(-1), said};
}

class Unattended : public ::testing::Test {
protected:
    void SetUp() override {
        // As on a server: no display, no Qt platform.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    }
};

} // namespace quillon::testing
