// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <random>
#include <string>

namespace quillon::bench {

// A file of size repeatable bytes: any byte value, or lower-case letters.
inline void write_sample_file(const std::string& path, std::size_t size, bool text) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937 rng(42);
    std::string chunk(64 * 1024, '\0');
    for (std::size_t done = 0; done < size; done += chunk.size()) {
        std::size_t n = std::min(chunk.size(), size - done);
        for (std::size_t i = 0; i < n; ++i) chunk[i] = text ? static_cast<char>('a' + rng() % 26) : static_cast<char>(rng());
        out.write(chunk.data(), static_cast<std::streamsize>(n));
    }
}

inline bool same_files(const std::string& a, const std::string& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::string p(64 * 1024, '\0'), q(64 * 1024, '\0');
    while (x && y) {
        x.read(p.data(), static_cast<std::streamsize>(p.size()));
        y.read(q.data(), static_cast<std::streamsize>(q.size()));
        if (x.gcount() != y.gcount() || p.compare(0, x.gcount(), q, 0, y.gcount()) != 0) return false;
    }
    return x.eof() && y.eof();
}

} // namespace quillon::bench
