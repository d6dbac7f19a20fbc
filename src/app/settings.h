// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace quillon {

class Program;

// A port setting that is not a number; the start-up answers it with the
// port prompt.
class NotANumber : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads "PORTNO." or "DIALMODE" of quillon.ini into value, ending the
// program with a message on an empty or invalid value.
void read_setting(Program& program, const std::string& key, std::string& value);
// The value to write back for a setting this run never took: what the file
// holds when the next start would take it, else "1" or "pulse".
std::string kept_setting(Program& program, const std::string& key);
// Writes value under key; false when it could not.
bool save_setting(Program& program, const std::string& key, const std::string& value);
// Writes value under key, ending the program with a message on failure.
void write_setting(Program& program, const std::string& key, const std::string& value);

} // namespace quillon
