// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/telnet_codec.h"

#include <string>
#include <vector>

namespace quillon::testing {

// The events of a telnet stream fed in the given pieces, as text: data in
// quotes, options and subnegotiations by number.
inline std::string telnet_events(const std::vector<std::string>& feeds) {
    std::string events, data;
    auto flush = [&] {
        if (!data.empty()) events += "\"" + data + "\" ";
        data.clear();
    };
    telnet::Parser parser;
    parser.on_data = [&](std::string_view d) { data += d; };
    parser.on_option = [&](std::uint8_t c, std::uint8_t o) {
        flush();
        events += "opt" + std::to_string(c) + "," + std::to_string(o) + " ";
    };
    parser.on_subnegotiation = [&](std::uint8_t o, std::string_view p) {
        flush();
        events += "sb" + std::to_string(o) + ":";
        for (unsigned char c : p) events += std::to_string(c) + ".";
        events += " ";
    };
    for (const auto& f : feeds) parser.feed(f);
    flush();
    return events;
}

} // namespace quillon::testing
