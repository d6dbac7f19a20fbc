// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/hex_codec.h"

namespace quillon {

void append_hex(std::string& out, std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::size_t at = out.size();
    out.resize(at + 2 * bytes.size());
    for (unsigned char b : bytes) {
        out[at++] = digits[b >> 4];
        out[at++] = digits[b & 0x0F];
    }
}

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
