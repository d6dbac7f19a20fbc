// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/modes.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// A run without a window: dial and send, or answer and receive.
struct UnattendedRequest {
    std::string dial;                // the number to call; empty: answer
    std::vector<std::string> send;   // files to send, in turn
    // binary or text: our own protocol; zmodem, ymodem or xmodem: the
    // protocol to send with, or to receive with when answering.
    FileForm form = FileForm::binary;
    std::optional<int> port;         // the settings' port when not given
    std::string receive_into;        // empty: the download folder
    int calls = 1;
};

// The exit statuses of a run from the command line.
namespace exit_status {
constexpr int done = 0;
constexpr int usage = 2; // also a configuration error
constexpr int busy = 3;
constexpr int no_connection = 4; // no answer, no carrier, no dial tone
constexpr int port_failed = 5;
constexpr int transfer_failed = 6;
constexpr int already_running = 7;
} // namespace exit_status

struct CommandLine {
    // Answered here (help, version, bad usage): the exit status.
    std::optional<int> status;
    std::optional<UnattendedRequest> unattended;
};

// Reads the command line before any window system is needed: answers
// --help and --version on out, bad usage on err; nothing at all means the
// window.
CommandLine read_command_line(int argc, char** argv, std::FILE* out, std::FILE* err);

} // namespace quillon
