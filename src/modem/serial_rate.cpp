// SPDX-License-Identifier: GPL-3.0-or-later
// termios2 lives in <asm/termbits.h>, which clashes with <termios.h>: this
// file keeps to the former.
#include "modem/serial_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace quillon {
namespace {

bool apply(int fd, speed_t code, int rate) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= code;
    tio.c_ispeed = static_cast<speed_t>(rate);
    tio.c_ospeed = static_cast<speed_t>(rate);
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}

} // namespace

int read_serial_rate(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) return 0;
    return static_cast<int>(tio.c_ospeed);
}

int set_serial_rate(int fd) {
    // A driver that cannot make 56000 stores the rate it made instead, so
    // only a read-back tells whether the custom rate holds.
    if (apply(fd, BOTHER, line_rate) && read_serial_rate(fd) == line_rate) return line_rate;
    if (apply(fd, B57600, standard_fallback_rate) && read_serial_rate(fd) == standard_fallback_rate)
        return standard_fallback_rate;
    return 0;
}

} // namespace quillon
