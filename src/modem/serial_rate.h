// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

// The line's rate in bit/s.
constexpr int line_rate = 56000;
// The nearest standard rate, for drivers that refuse a custom one.
constexpr int standard_fallback_rate = 57600;

// Sets the tty's rate in both directions: the line's own 56000 through
// termios2/BOTHER where the driver takes it (it reads back as set), else
// 57600. Returns the rate now in force, or 0 when the driver took neither.
int set_serial_rate(int fd);
// The output rate in force, or 0 when it cannot be read.
int read_serial_rate(int fd);

} // namespace quillon
