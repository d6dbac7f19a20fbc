// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/transcript.h"

#include <cstdio>

namespace quillon::sim {

Transcript::Transcript(const std::string& path) {
    if (!path.empty()) out_.open(path, std::ios::trunc);
}

void Transcript::record(double seconds, std::string_view from, std::string_view to, std::string_view bytes) {
    if (!out_.is_open()) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ", seconds);
    std::string line = stamp;
    line.append(from).append(" > ").append(to).append(" \"");
    for (unsigned char c : bytes) {
        if (c == '\\' || c == '"') {
            line.push_back('\\');
            line.push_back(static_cast<char>(c));
        } else if (c >= 32 && c < 127) {
            line.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            line += hex;
        }
    }
    line += "\"\n";
    out_ << line << std::flush;
}

} // namespace quillon::sim
