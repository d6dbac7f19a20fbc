// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The blocks XMODEM and YMODEM send, and YMODEM's block 0.
namespace quillon::xmodem {

constexpr char SOH = 0x01; // a block of 128 bytes follows
constexpr char STX = 0x02; // a block of 1024 bytes follows
constexpr char EOT = 0x04;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char CAN = 0x18;
constexpr char SUB = 0x1A; // pads the last block
constexpr char CRC_REQUEST = 'C';

// SOH or STX, the number and its complement, the data padded with SUB to
// 128 or 1024 bytes, and CRC-16 (high byte first) or the arithmetic sum.
std::string block(std::uint8_t number, std::string_view data, bool large, bool crc);

// The size of the data a block's first byte announces, 0 for any other.
std::size_t block_size(char start);
// A whole block (from its first byte) checked; its data when sound.
std::optional<std::string> block_data(std::string_view block, bool crc);

// YMODEM's block 0: the name, NUL, then size in decimal and the time in
// octal seconds since 1970. An empty name ends the batch.
std::string block0(const OutgoingFile* file);
// What block 0, or ZMODEM's ZFILE, says of a file; nullopt for an empty
// name (the block 0 that ends the batch).
std::optional<IncomingHeader> parse_file_info(std::string_view data);

} // namespace quillon::xmodem
