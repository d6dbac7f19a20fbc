// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

// Private-profile access to an INI file: a missing file, section or key
// reads as the default; writing updates one key in place, keeps every other
// line and comment, and creates the file and section when missing.
// Section and key names compare without regard to case; blanks around a
// value, and one pair of quotes enclosing it, are not part of it. A UTF-8
// byte-order mark at the start of the file is read past and kept.
struct ProfileValue {
    std::string value;  // at most buffer_size - 1 characters
    std::size_t length; // characters placed in the buffer; 0 for an empty value
};

ProfileValue read_profile_string(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& default_value, std::size_t buffer_size);

// Writes through a temporary file renamed over the old one, so a crash never
// leaves half a file. False when the file cannot be written.
bool write_profile_string(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& value);

// Every key and value of a section, in file order.
std::vector<std::pair<std::string, std::string>> read_profile_section(const std::string& file,
                                                                      const std::string& section);

// The same on the text of a file already read: what the functions above
// read from it, and the text they would write back.
ProfileValue profile_string_in(std::string_view text, const std::string& section, const std::string& key,
                               const std::string& default_value, std::size_t buffer_size);
std::vector<std::pair<std::string, std::string>> profile_section_in(std::string_view text,
                                                                    const std::string& section);
// Empty when the value cannot be written (it holds a line break).
std::optional<std::string> with_profile_string(std::string_view text, const std::string& section,
                                               const std::string& key, const std::string& value);

} // namespace quillon
