// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/hex_value.h"

namespace quillon {

int hex_value(std::string_view text, const std::function<void()>& on_bad_digit) {
    if (text.empty() || text.size() > 2) return 0;
    int result = 0;
    int weight = text.size() == 2 ? 16 : 1;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else {
            on_bad_digit();
            return result;
        }
        result += weight * digit;
        weight = 1;
    }
    return result;
}

} // namespace quillon
