// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/line.h"

#include <string>

namespace quillon {

// What the user reads when the port of the settings does not open: the
// device and why, and what to do about it. A device that is missing or not
// configured may mean there is no modem at all yet, so the text then tells
// how to try Quillon with its modem simulator. It ends by asking whether
// to open the help, which the port prompt would otherwise keep out of reach.
std::string port_failure_text(const LineError& failure, const std::string& settings_file);

} // namespace quillon
