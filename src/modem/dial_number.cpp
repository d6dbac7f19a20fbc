// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/dial_number.h"

namespace quillon {

std::optional<std::string> dial_string(std::string_view number) {
    constexpr std::string_view kept = "0123456789*#,WwPp!@ ()-";
    constexpr std::string_view dropped = "+./";
    std::string out;
    for (char c : number) {
        if (kept.find(c) != std::string_view::npos) out += c;
        else if (dropped.find(c) == std::string_view::npos) return std::nullopt;
    }
    return out;
}

std::string refused_number_text(const std::string& entry) {
    std::string who = entry.empty() ? "the number" : entry + "'s number";
    return "Not dialled: " + who + " holds characters that are not for dialling.";
}

} // namespace quillon
