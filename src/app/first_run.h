// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillon {

// The serial devices under a /dev folder, best first and at most four:
// /dev/serial/by-id/* (names that stay put when adapters are replugged),
// then ttyUSB*, ttyACM* and ttyS* in number order; a device already
// reached through an earlier name is left out.
std::vector<std::string> find_serial_devices(const std::string& dev_root);

// The settings of a first run, when settings_file does not exist yet: tone
// dialling on port 1, and ports 1 to 4 mapped to the devices found under
// dev_root. An existing file is never touched, so a broken one still meets
// the configuration errors at start-up. False when it could not be written.
bool write_first_settings(const std::string& settings_file, const std::string& dev_root);

} // namespace quillon
