// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <optional>

namespace quillon {

// Answers --help and --version on the terminal, before any window system
// is needed; the exit status when it answered, nothing otherwise (the rest
// of the command line is the window system's).
std::optional<int> answer_command_line(int argc, char** argv, std::FILE* out);

} // namespace quillon
