// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ini_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

std::string trim(const std::string& s) {
    auto is_blank = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t b = 0, e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool same_name(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Editors on Windows often start a UTF-8 file with a byte-order mark.
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

bool starts_with_byte_order_mark(std::string_view text) { return text.starts_with(byte_order_mark); }

std::vector<std::string> lines_of(std::string_view text) {
    if (starts_with_byte_order_mark(text)) text.remove_prefix(byte_order_mark.size());
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The whole file; a missing or unreadable one reads as empty.
std::string text_of(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One pair of enclosing quotes is not part of a value, as the profile
// functions read it: "tone" and 'tone' are tone.
std::string unquoted(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// "[name]" gives name; anything else gives nothing.
std::optional<std::string> section_of(const std::string& line) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    auto close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return trim(t.substr(1, close - 1));
}

// "key=value" gives the pair; comments and other lines give nothing.
std::optional<std::pair<std::string, std::string>> entry_of(const std::string& line) {
    std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') return std::nullopt;
    auto eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return std::make_pair(trim(t.substr(0, eq)), unquoted(trim(t.substr(eq + 1))));
}

// The file's own line ending, so an edited file keeps its style; a file
// of less than one line gets CR LF.
const char* line_ending_of(std::string_view text) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return "\r\n";
    return end > 0 && text[end - 1] == '\r' ? "\r\n" : "\n";
}

bool replace_file(const std::string& file, const std::string& content) {
    std::string temp = file + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat old {};
    fchmod(fd, ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    const char* data = content.data();
    std::size_t left = content.size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n <= 0) ok = false;
        else {
            data += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(temp.c_str(), file.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

} // namespace

ProfileValue profile_string_in(std::string_view text, const std::string& section, const std::string& key,
                               const std::string& default_value, std::size_t buffer_size) {
    std::string value = default_value;
    bool in_section = false;
    for (const std::string& line : lines_of(text)) {
        if (auto name = section_of(line)) {
            in_section = same_name(*name, section);
            continue;
        }
        auto entry = entry_of(line);
        if (in_section && entry && same_name(entry->first, key)) {
            value = entry->second;
            break;
        }
    }
    // The text before the first NUL, cut to fit the caller's buffer.
    value = value.substr(0, value.find('\0'));
    std::size_t room = buffer_size == 0 ? 0 : buffer_size - 1;
    if (value.size() > room) value.resize(room);
    return {value, value.size()};
}

std::optional<std::string> with_profile_string(std::string_view text, const std::string& section,
                                               const std::string& key, const std::string& value) {
    if (value.find_first_of("\r\n") != std::string::npos) return std::nullopt;
    std::vector<std::string> lines = lines_of(text);
    std::optional<std::size_t> section_line, key_line, section_end;
    bool in_section = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = section_of(lines[i])) {
            if (in_section) break;
            in_section = same_name(*name, section);
            if (in_section) section_line = section_end = i;
            continue;
        }
        if (!in_section) continue;
        if (!trim(lines[i]).empty()) section_end = i;
        auto entry = entry_of(lines[i]);
        if (entry && same_name(entry->first, key)) {
            key_line = i;
            break;
        }
    }
    std::string entry = key + "=" + value;
    if (key_line) lines[*key_line] = entry;
    else if (section_line) lines.insert(lines.begin() + static_cast<long>(*section_end) + 1, entry);
    else {
        if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    std::string out;
    if (starts_with_byte_order_mark(text)) out += byte_order_mark;
    const char* end_of_line = line_ending_of(text);
    for (const std::string& line : lines) out.append(line).append(end_of_line);
    return out;
}

std::vector<std::pair<std::string, std::string>> profile_section_in(std::string_view text,
                                                                    const std::string& section) {
    std::vector<std::pair<std::string, std::string>> out;
    bool in_section = false;
    for (const std::string& line : lines_of(text)) {
        if (auto name = section_of(line)) in_section = same_name(*name, section);
        else if (auto entry = entry_of(line); in_section && entry) out.push_back(*entry);
    }
    return out;
}

ProfileValue read_profile_string(const std::string& file, const std::string& section, const std::string& key,
                                 const std::string& default_value, std::size_t buffer_size) {
    return profile_string_in(text_of(file), section, key, default_value, buffer_size);
}

bool write_profile_string(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& value) {
    auto text = with_profile_string(text_of(file), section, key, value);
    return text && replace_file(file, *text);
}

std::vector<std::pair<std::string, std::string>> read_profile_section(const std::string& file,
                                                                      const std::string& section) {
    return profile_section_in(text_of(file), section);
}

} // namespace quillon
