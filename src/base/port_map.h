// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>

namespace quillon {

// Devices of ports 1 to 4: /dev/ttyS0 to /dev/ttyS3, unless the [Ports]
// section of the settings file maps a port elsewhere
// (COMM3=rfc2217://127.0.0.1:7001).
std::map<int, std::string> read_port_map(const std::string& settings_file);

} // namespace quillon
