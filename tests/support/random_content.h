// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>
#include <string>
#include <vector>

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

struct SampleFile {
    std::string name;
    std::string content;
};

// Files of every size about a block's edges, none and many blocks among them.
inline std::vector<SampleFile> sample_files(unsigned seed) {
    std::vector<SampleFile> files;
    for (std::size_t size : {0, 1, 127, 128, 129, 1023, 1024, 1025, 200 * 1024})
        files.push_back({"file of " + std::to_string(size) + ".bin", random_bytes(size, seed + size)});
    return files;
}

// XMODEM carries no size: what arrives is what was sent, its last block
// padded with SUB.
inline bool same_but_padding(const std::string& got, const std::string& sent) {
    return got.size() % 128 == 0 && got.size() >= sent.size() && got.size() < sent.size() + 1024 &&
           got.compare(0, sent.size(), sent) == 0 && got.find_first_not_of('\x1A', sent.size()) == std::string::npos;
}

} // namespace quillon::testing
