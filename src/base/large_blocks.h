// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

// Large blocks (a long call's line_buffer, a file's spool) get pages of
// their own, which go back to the system whole when the block is freed.
// glibc otherwise raises that threshold after the first one is freed, and
// every block a growing buffer leaves behind stays resident in the heap.
void map_large_blocks_apart();

} // namespace quillon
