// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace quillon {

// CRC-16 as XMODEM, YMODEM and ZMODEM use it (polynomial 0x1021, start 0),
// continued from crc.
std::uint16_t crc16(std::string_view bytes, std::uint16_t crc = 0);

// The running register of the CRC-32 ZMODEM uses (the IEEE 802.3 one):
// start at crc32_start, fold bytes in, and complement for the value sent.
constexpr std::uint32_t crc32_start = 0xFFFFFFFFu;
std::uint32_t crc32_update(std::string_view bytes, std::uint32_t crc);

} // namespace quillon
