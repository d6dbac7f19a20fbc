// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/first_run.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <unistd.h>

namespace quillon {
namespace {

namespace fs = std::filesystem;

// The devices of one kind, prefix then a number (ttyS2 before ttyS10), or,
// with no prefix, every name in the folder in name order.
std::vector<fs::path> entries(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().string();
        bool numbered =
            name.size() > prefix.size() && name.rfind(prefix, 0) == 0 &&
            std::all_of(name.begin() + prefix.size(), name.end(), [](unsigned char c) { return std::isdigit(c); });
        if (prefix.empty() || numbered) found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end(), [&prefix](const fs::path& a, const fs::path& b) {
        std::string x = a.filename().string(), y = b.filename().string();
        return !prefix.empty() && x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    return found;
}

} // namespace

std::vector<std::string> find_serial_devices(const std::string& dev_root) {
    const fs::path root(dev_root);
    std::vector<fs::path> candidates = entries(root / "serial" / "by-id", "");
    for (const char* kind : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<fs::path> more = entries(root, kind);
        candidates.insert(candidates.end(), more.begin(), more.end());
    }
    std::vector<std::string> devices;
    std::set<fs::path> reached;
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        fs::path device = fs::canonical(candidate, ec);
        if (ec || !reached.insert(device).second) continue;
        devices.push_back(candidate.string());
        if (devices.size() == 4) break;
    }
    return devices;
}

bool write_first_settings(const std::string& settings_file, const std::string& dev_root) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(settings_file, ec))) return true;
    std::string text = "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n"
                       "[Ports]\n"
                       "; COMMn=device of port n, or rfc2217://host:port for a network serial port\n";
    std::vector<std::string> devices = find_serial_devices(dev_root);
    for (std::size_t n = 0; n < devices.size(); ++n)
        text += "COMM" + std::to_string(n + 1) + "=" + devices[n] + "\n";

    // Written aside, then linked in under its name: a file that appeared
    // meanwhile is kept, and no reader ever sees half of one.
    std::string aside = settings_file + ".first-" + std::to_string(::getpid());
    bool written = false;
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        written = out && (out << text) && out.flush();
    }
    bool linked = written && (::link(aside.c_str(), settings_file.c_str()) == 0 || errno == EEXIST);
    std::remove(aside.c_str());
    return linked;
}

} // namespace quillon
