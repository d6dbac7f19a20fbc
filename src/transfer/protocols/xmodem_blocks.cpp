// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/xmodem_blocks.h"

#include "transfer/protocols/crc.h"

#include <cstdio>
#include <cstdlib>

namespace quillon::xmodem {

std::string block(std::uint8_t number, std::string_view data, bool large, bool crc) {
    std::string payload(data);
    payload.resize(large ? 1024 : 128, SUB);
    std::string out = {large ? STX : SOH, static_cast<char>(number), static_cast<char>(~number)};
    out += payload;
    if (crc) {
        std::uint16_t value = crc16(payload);
        out += static_cast<char>(value >> 8);
        out += static_cast<char>(value & 0xFF);
    } else {
        unsigned sum = 0;
        for (unsigned char c : payload) sum += c;
        out += static_cast<char>(sum & 0xFF);
    }
    return out;
}

std::size_t block_size(char start) {
    return start == SOH ? 128 : start == STX ? 1024 : 0;
}

std::optional<std::string> block_data(std::string_view block, bool crc) {
    std::size_t size = block_size(block.empty() ? 0 : block[0]);
    if (size == 0 || block.size() != 3 + size + (crc ? 2 : 1)) return std::nullopt;
    if (static_cast<std::uint8_t>(block[1] + block[2]) != 0xFF) return std::nullopt;
    std::string_view data = block.substr(3, size);
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(block[i]); };
    if (crc) {
        if ((byte(3 + size) << 8 | byte(4 + size)) != crc16(data)) return std::nullopt;
    } else {
        unsigned sum = 0;
        for (unsigned char c : data) sum += c;
        if ((sum & 0xFF) != byte(3 + size)) return std::nullopt;
    }
    return std::string(data);
}

std::string block0(const OutgoingFile* file) {
    if (!file) return std::string(128, '\0');
    char fields[64];
    std::snprintf(fields, sizeof fields, "%llu %llo", static_cast<unsigned long long>(file->size),
                  static_cast<unsigned long long>(file->mtime));
    std::string data = file->name + '\0' + fields;
    data.resize(data.size() + 1 <= 128 ? 128 : 1024, '\0');
    return data;
}

std::optional<IncomingHeader> parse_file_info(std::string_view data) {
    std::size_t nul = data.find('\0');
    IncomingHeader header;
    header.name = std::string(data.substr(0, nul));
    if (header.name.empty()) return std::nullopt;
    if (nul == std::string_view::npos) return header;
    std::string fields(data.substr(nul + 1));
    fields = fields.substr(0, fields.find('\0'));
    char* rest = nullptr;
    unsigned long long size = std::strtoull(fields.c_str(), &rest, 10);
    if (rest != fields.c_str()) header.size = size;
    header.mtime = static_cast<std::int64_t>(std::strtoll(rest, nullptr, 8));
    return header;
}

} // namespace quillon::xmodem
