// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/large_blocks.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace quillon {

void map_large_blocks_apart() {
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    constexpr int large = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, large);
    // And free space at the heap's top goes back too, as before the
    // threshold was first raised.
    mallopt(M_TRIM_THRESHOLD, 2 * large);
#endif
}

} // namespace quillon
