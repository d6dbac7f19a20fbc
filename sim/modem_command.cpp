// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/modem_command.h"

#include <cctype>

namespace quillon::sim {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at `at`; -1 when there is none.
int read_number(std::string_view s, std::size_t& at) {
    if (at >= s.size() || !is_digit(s[at])) return -1;
    long v = 0;
    while (at < s.size() && is_digit(s[at])) {
        if (v < 100000) v = v * 10 + (s[at] - '0');
        ++at;
    }
    return static_cast<int>(v);
}

constexpr std::string_view basic_letters = "ABEHILMNOQVWXZ";
constexpr std::string_view extended_letters = "CDFKSW";

} // namespace

std::optional<std::vector<ModemCommand>> parse_command_line(std::string_view s) {
    std::vector<ModemCommand> out;
    std::size_t at = 0;
    while (at < s.size()) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[at])));
        if (c == ' ') {
            ++at;
            continue;
        }
        ModemCommand cmd;
        ++at;
        if (c == 'D') {
            cmd.letter = 'D';
            cmd.dial = std::string(s.substr(at));
            out.push_back(std::move(cmd));
            break;
        }
        if (c == '&') {
            if (at >= s.size()) return std::nullopt;
            cmd.prefix = '&';
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[at++])));
            if (extended_letters.find(c) == std::string_view::npos) return std::nullopt;
            cmd.letter = c;
            cmd.value = read_number(s, at);
        } else if (c == 'S') {
            cmd.letter = 'S';
            cmd.reg = read_number(s, at);
            if (cmd.reg < 0 || at >= s.size()) return std::nullopt;
            if (s[at] == '?') {
                cmd.query = true;
                ++at;
            } else if (s[at] == '=') {
                ++at;
                int v = read_number(s, at);
                cmd.value = v < 0 ? 0 : v;
            } else {
                return std::nullopt;
            }
        } else if (basic_letters.find(c) != std::string_view::npos) {
            cmd.letter = c;
            cmd.value = read_number(s, at);
        } else {
            return std::nullopt;
        }
        out.push_back(std::move(cmd));
    }
    return out;
}

std::string dialled_digits(std::string_view dial) {
    std::string digits;
    for (char c : dial) {
        if (c == ';') break;
        if (is_digit(c) || c == '*' || c == '#') digits.push_back(c);
    }
    return digits;
}

} // namespace quillon::sim
