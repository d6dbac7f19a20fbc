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

} // namespace quillon
