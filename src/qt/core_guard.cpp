// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/core_guard.h"

#include "modem/tty_lock.h"

#include <cstdio>
#include <cstdlib>

namespace quillon {

void end_process_now(int status) {
    // No destructor runs, so the port's lock file would stay behind.
    remove_held_tty_locks();
    std::fflush(nullptr);
    std::_Exit(status);
}

void report_stray_failure(const char *what) {
    std::fprintf(stderr, "quillon: unhandled failure: %s\n", what);
}

} // namespace quillon
