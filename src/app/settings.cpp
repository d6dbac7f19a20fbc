// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include "base/ini_file.h"
#include "app/program.h"
#include "base/program_end.h"
#include "base/switches.h"
#include "base/text_number.h"

#include <cctype>

namespace quillon {
namespace {

[[noreturn]] void fail(Program& program, const std::string& text) {
    program.main_window.configuration_error(text);
}

bool port_accepted(const std::string& value) {
    auto x = to_number(value);
    return !value.empty() && (!x || (*x > 0 && *x <= 4));
}

bool dial_mode_accepted(const std::string& value) {
    return value.compare(0, 5, "pulse") == 0 || value.compare(0, 4, "tone") == 0;
}

} // namespace

void read_setting(Program& program, const std::string& key, std::string& value) {
    ProfileValue read = read_profile_string(program.files.settings_file(), settings_section, key, "DEFAULT", 10);
    value = read.value;
    if (read.length == 0) fail(program, "Error in reading configuration file!");
    if (key == "PORTNO.") {
        auto x = to_number(value);
        if (!x) throw NotANumber("port setting is not a number");
        if (!port_accepted(value)) fail(program, "Error! Invalid port number.");
    }
    if (key == "DIALMODE" && !dial_mode_accepted(value)) fail(program, "Invalid dialling mode set in INI file.");
}

std::string kept_setting(Program& program, const std::string& key) {
    std::string stored = read_profile_string(program.files.settings_file(), settings_section, key, "", 10).value;
    if (key == "PORTNO.") return port_accepted(stored) ? stored : "1";
    return dial_mode_accepted(stored) ? stored : "pulse";
}

bool save_setting(Program& program, const std::string& key, const std::string& value) {
    return write_profile_string(program.files.settings_file(), settings_section, key, value);
}

void write_setting(Program& program, const std::string& key, const std::string& value) {
    if (!save_setting(program, key, value)) fail(program, "Error in writing to configuration file!");
}

} // namespace quillon
