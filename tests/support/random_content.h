// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>
#include <string>

namespace quillon::testing {

// Repeatable file contents for transfers.
inline std::string random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

// Text in lines, without the protocol's marker characters.
inline std::string random_text(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:!?\r\n";
    std::string s(n, ' ');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
}

} // namespace quillon::testing
