// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The number a text holds, blanks around it allowed ("2.5", " 3 "); nothing
// for a text that is not a number ("abc", "", "DEFAULT").
std::optional<double> to_number(std::string_view text);

// A whole number, a half going to the even neighbour (2.5 gives 2).
long round_half_even(double x);

// Left-aligned in a field of width characters: padded with spaces or cut.
std::string fixed_field(std::string text, std::size_t width);

} // namespace quillon
