// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/switches.h"

#include "base/dialogs.h"
#include "base/ini_file.h"

#include <cctype>

namespace quillon {

bool read_switch(const std::string& settings_file, const std::string& key, bool default_on) {
    std::string value = read_profile_string(settings_file, settings_section, key, "", 10).value;
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (value == "on") return true;
    if (value == "off") return false;
    return default_on;
}

void store_switch(const std::string& settings_file, Dialogs& dialogs, const std::string& key, bool on) {
    if (!write_profile_string(settings_file, settings_section, key, on ? "on" : "off"))
        dialogs.message("Error in writing to configuration file!", Icon::stop);
}

} // namespace quillon
