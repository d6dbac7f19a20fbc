// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::sim {

// SHA-256 (FIPS 180-4), fed in pieces.
class Sha256 {
public:
    Sha256();
    void add(std::string_view bytes);
    // The digest in lower-case hexadecimal; the object is spent.
    std::string hex();

private:
    void block(const unsigned char* p);
    std::array<std::uint32_t, 8> h_;
    unsigned char buffer_[64];
    std::size_t used_ = 0;
    std::uint64_t length_ = 0;
};

} // namespace quillon::sim
