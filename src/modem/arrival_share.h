// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace quillon {

// How an arrival is shared between the line and a protocol session: its
// first `line` bytes are the line's own (the peer's words before a session
// begins in it), and the `session` bytes after them go nowhere else.
struct ArrivalShare {
    std::size_t line = 0;
    std::size_t session = 0;
};

} // namespace quillon
