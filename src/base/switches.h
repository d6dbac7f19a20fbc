// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Dialogs;

// The section of the settings file that holds the program's own settings.
inline constexpr const char* settings_section = "Quillon";

// An on/off setting of the program's own in the settings file: "on" or
// "off" in any case, else the default.
bool read_switch(const std::string& settings_file, const std::string& key, bool default_on);
// Writes an on/off setting, saying so in a box when it could not.
void store_switch(const std::string& settings_file, Dialogs& dialogs, const std::string& key, bool on);

} // namespace quillon
