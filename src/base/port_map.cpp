// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/port_map.h"

#include "base/ini_file.h"

#include <cctype>

namespace quillon {

std::map<int, std::string> read_port_map(const std::string& settings_file) {
    std::map<int, std::string> ports;
    for (int n = 1; n <= 4; ++n) ports[n] = "/dev/ttyS" + std::to_string(n - 1);
    for (const auto& [key, device] : read_profile_section(settings_file, "Ports")) {
        if (key.size() != 5 || !std::isdigit(static_cast<unsigned char>(key[4]))) continue;
        std::string prefix = key.substr(0, 4);
        for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        int n = key[4] - '0';
        if (prefix == "COMM" && n >= 1 && n <= 4 && !device.empty()) ports[n] = device;
    }
    return ports;
}

} // namespace quillon
