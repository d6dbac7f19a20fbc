// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/download_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quillon {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The XDG_DOWNLOAD_DIR line of user-dirs.dirs: XDG_DOWNLOAD_DIR="$HOME/Downloads".
std::string from_user_dirs(const std::string& home) {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOWNLOAD_DIR=";
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(key)) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        return value;
    }
    return "";
}

bool is_folder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

} // namespace

std::string download_folder() {
    std::string home = environment("HOME");
    for (const std::string& candidate : {environment("XDG_DOWNLOAD_DIR"), from_user_dirs(home), home + "/Downloads"})
        if (is_folder(candidate)) return candidate;
    return home;
}

std::string in_download_folder(std::string_view name) {
    std::string folder = download_folder();
    if (folder.empty()) return std::string(name);
    if (folder.back() != '/') folder += '/';
    return folder + std::string(name);
}

} // namespace quillon
