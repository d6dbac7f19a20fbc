// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/crc.h"

#include <array>

namespace quillon {

namespace {
constexpr std::array<std::uint32_t, 256> crc32_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr auto crc32_bytes = crc32_table();
} // namespace

std::uint16_t crc16(std::string_view bytes, std::uint16_t crc) {
    for (unsigned char b : bytes) {
        crc ^= static_cast<std::uint16_t>(b << 8);
        for (int k = 0; k < 8; ++k)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

std::uint32_t crc32_update(std::string_view bytes, std::uint32_t crc) {
    for (unsigned char b : bytes) crc = crc32_bytes[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc;
}

} // namespace quillon
