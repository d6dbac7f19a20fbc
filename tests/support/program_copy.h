// SPDX-License-Identifier: GPL-3.0-or-later
// Needs QUILLON_PROGRAM_DIR, where the built programs are.
#pragma once

#include "support/child_process.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quillon::testing {

// Every day of the session log a program keeps in its folder.
inline std::string session_log_in(const TempDir& dir) {
    std::string all;
    std::error_code ec;
    for (const auto& day : std::filesystem::directory_iterator(dir.file("sessions"), ec))
        all += dir.read("sessions/" + day.path().filename().string());
    return all;
}

// A copy of the program run from the command line: its files beside it (a
// quillon.ini there keeps them there), its port 1 on a simulator's modem.
struct ProgramOnPort {
    explicit ProgramOnPort(int modem_port, const std::string& programs = QUILLON_PROGRAM_DIR) {
        std::error_code ec;
        std::filesystem::create_hard_link(programs + "/quillon", dir.file("quillon"), ec);
        if (ec) std::filesystem::copy_file(programs + "/quillon", dir.file("quillon"));
        dir.write("quillon.ini", "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=rfc2217://127.0.0.1:" +
                                     std::to_string(modem_port) + "\nCOMM3=/dev/quillon-no-such-port\n");
        std::filesystem::create_directory(dir.file("in"));
    }
    std::unique_ptr<ChildProcess> run(std::vector<std::string> args) {
        args.insert(args.begin(), dir.file("quillon"));
        return std::make_unique<ChildProcess>(args, true);
    }
    std::string session_log() const { return session_log_in(dir); }
    TempDir dir;
};

} // namespace quillon::testing
