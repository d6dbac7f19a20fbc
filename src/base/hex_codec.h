// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillon {

// Two upper-case hexadecimal digits per byte, high nibble first.
void append_hex(std::string& out, std::string_view bytes);

// The byte a pair of hexadecimal digits stands for ("0A" is 10), upper-case
// letters only. A bad digit calls on_bad_digit and gives what was summed so
// far; a text of other than 1 or 2 characters gives 0.
int hex_value(std::string_view text, const std::function<void()>& on_bad_digit);

// How many characters of text are not such digits.
std::size_t count_non_hex(std::string_view text);

// Appends the byte of each pair of digits in turn, as hex_value gives it (a
// last lone digit is a pair of its own); returns how many pairs had a bad digit.
std::size_t append_hex_values(std::string& out, std::string_view digits);

} // namespace quillon
