// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// What of a stored number may follow "ATD". A number comes from files and
// other programs; a ';', a line break or letters in it would hand the rest
// of the line to the modem as commands. Digits, the dial modifiers
// *#,WwPp!@ and the spaces, hyphens and brackets modems ignore are kept;
// the '+', '.' and '/' people write are dropped. Anything else: nullopt.
std::optional<std::string> dial_string(std::string_view number);

// "Not dialled: Ann's number holds characters that are not for dialling."
std::string refused_number_text(const std::string& entry);

} // namespace quillon
