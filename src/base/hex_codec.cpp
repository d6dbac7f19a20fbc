// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/hex_codec.h"

#include <array>

namespace quillon {

namespace {
// Each character's digit value, -1 for a character that is no digit: a
// lookup costs the same for every character, digit or not.
constexpr std::array<signed char, 256> digit_values = [] {
    std::array<signed char, 256> v{};
    v.fill(-1);
    for (int d = 0; d < 10; ++d) v['0' + d] = static_cast<signed char>(d);
    for (int d = 0; d < 6; ++d) v['A' + d] = static_cast<signed char>(10 + d);
    return v;
}();

int digit_value(char c) { return digit_values[static_cast<unsigned char>(c)]; }
} // namespace

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
        const int digit = digit_value(c);
        if (digit < 0) {
            on_bad_digit();
            return result;
        }
        result += weight * digit;
        weight = 1;
    }
    return result;
}

std::size_t count_non_hex(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += digit_value(c) < 0;
    return n;
}

std::size_t append_hex_values(std::string& out, std::string_view digits) {
    std::size_t bad_pairs = 0;
    std::size_t at = out.size();
    out.resize(at + (digits.size() + 1) / 2);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        std::string_view pair = digits.substr(i, 2);
        const int high = digit_value(pair[0]), low = pair.size() == 2 ? digit_value(pair[1]) : 0;
        if ((high | low) >= 0) out[at++] = static_cast<char>(pair.size() == 2 ? high * 16 + low : high);
        else out[at++] = static_cast<char>(hex_value(pair, [&bad_pairs] { ++bad_pairs; }));
    }
    return bad_pairs;
}

} // namespace quillon
