// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

// Thrown to stop the program at once: nothing after it runs, nothing more is
// written. Deliberately not a std::exception, so no catch-all for ordinary
// failures swallows it. The status is the process's exit status.
struct ProgramEnd {
    int status = 0;
};

// The exit status of a program ended by a configuration error.
constexpr int configuration_error_status = 2;

[[noreturn]] inline void end_program(int status = 0) { throw ProgramEnd{status}; }

} // namespace quillon
