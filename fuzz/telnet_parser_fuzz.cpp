// SPDX-License-Identifier: GPL-3.0-or-later
// What a network serial port's server sends, parsed in any cut: the data
// is the same however the stream is split, and nothing is kept unbounded.
#include "modem/telnet_codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string parse(std::string_view first, std::string_view second) {
    quillon::telnet::Parser parser;
    std::string seen;
    parser.on_data = [&](std::string_view d) { seen.append(d); };
    parser.on_option = [&](std::uint8_t c, std::uint8_t o) { seen += "<" + std::to_string(c) + "," + std::to_string(o) + ">"; };
    parser.on_subnegotiation = [&](std::uint8_t o, std::string_view p) {
        if (p.size() > 256) std::abort();
        seen += "{" + std::to_string(o) + ":" + std::string(p) + "}";
    };
    parser.feed(first);
    parser.feed(second);
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = data[0] % (bytes.size() + 1);
    if (parse(bytes, {}) != parse(bytes.substr(0, cut), bytes.substr(cut))) std::abort();
    // Escaped data comes back unchanged.
    std::string escaped;
    quillon::telnet::append_escaped(escaped, bytes);
    if (parse(escaped, {}) != std::string(bytes)) std::abort();
    return 0;
}
