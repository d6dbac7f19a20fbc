// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <unistd.h>

// Temporary folders made after this go on a memory file system where there
// is one, so what a fuzz input writes never reaches a disk.
inline bool use_memory_temp() {
    if (access("/dev/shm", W_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
    return true;
}
