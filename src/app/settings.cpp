#include "app/settings.h"

#include "app/ini_file.h"
#include "app/program.h"
#include "app/program_end.h"
#include "app/text_number.h"

namespace quillon {
namespace {

const char* const section = "Quillon";

void fail(Program& program, const std::string& text) {
    program.message(text, Icon::stop);
    end_program();
}

} // namespace

void read_setting(Program& program, const std::string& key, std::string& value) {
    ProfileValue read = read_profile_string(program.files.settings_file(), section, key, "DEFAULT", 10);
    value = read.value;
    if (read.length == 0) fail(program, "Error in reading configuration file!");
    if (key == "PORTNO.") {
        auto x = to_number(value);
        if (!x) throw NotANumber("port setting is not a number");
        if (!(*x > 0 && *x <= 4)) fail(program, "Error! Invalid port number.");
    }
    if (key == "DIALMODE" && value.compare(0, 5, "pulse") != 0 && value.compare(0, 4, "tone") != 0)
        fail(program, "Invalid dialling mode set in INI file.");
}

void write_setting(Program& program, const std::string& key, const std::string& value) {
    if (!write_profile_string(program.files.settings_file(), section, key, value))
        fail(program, "Error in writing to configuration file!");
}

} // namespace quillon
