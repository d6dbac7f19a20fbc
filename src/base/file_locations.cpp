// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/file_locations.h"

#include "base/private_files.h"

#include <algorithm>
#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

std::string home_dir(const std::function<const char*(const char*)>& getenv) {
    const char* home = getenv("HOME");
    if (home && *home) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::string xdg_folder(const std::function<const char*(const char*)>& getenv, const char* variable,
                       const std::string& fallback) {
    const char* value = getenv(variable);
    // Relative paths are invalid here and must be ignored.
    if (value && value[0] == '/') return value;
    return fallback;
}

// A failure to make the folder shows later, when the file in it cannot be
// opened.
std::string file_in(const std::string& dir, const std::string& name, bool own_folder) {
    if (own_folder) make_private_folder(dir);
    return dir + "/" + name;
}

// A record of the user's: made private before anything writes to it.
std::string record_in(const std::string& dir, const std::string& name, bool own_folder) {
    std::string path = file_in(dir, name, own_folder);
    make_private_file(path);
    return path;
}

} // namespace

UserFolders user_folders(const std::function<const char*(const char*)>& getenv) {
    std::string home = home_dir(getenv);
    if (home.size() > 1 && home.back() == '/') home.pop_back();
    return {xdg_folder(getenv, "XDG_CONFIG_HOME", home + "/.config"),
            xdg_folder(getenv, "XDG_DATA_HOME", home + "/.local/share"),
            xdg_folder(getenv, "XDG_CACHE_HOME", home + "/.cache")};
}

FileLocations::FileLocations(bool portable, std::string program_dir, std::string config, std::string data,
                             std::string cache)
    : portable_(portable), program_dir_(std::move(program_dir)), config_dir_(std::move(config)),
      data_dir_(std::move(data)), cache_dir_(std::move(cache)) {}

FileLocations FileLocations::portable(const std::string& program_dir) {
    return {true, program_dir, program_dir, program_dir, program_dir};
}

FileLocations FileLocations::per_user(const std::string& program_dir, const UserFolders& folders) {
    return {false, program_dir, folders.config + "/quillon", folders.data + "/quillon", folders.cache + "/quillon"};
}

FileLocations FileLocations::choose(const std::string& program_dir, const UserFolders& folders) {
    std::string ini = program_dir + "/quillon.ini";
    if (::access(program_dir.c_str(), W_OK) == 0 && ::access(ini.c_str(), F_OK) == 0) return portable(program_dir);
    return per_user(program_dir, folders);
}

// The help text and images: beside the program in a build folder or a
// portable copy, in share/quillon of the prefix when installed.
std::string FileLocations::shared_data_dir() const {
    if (::access((program_dir_ + "/quillon.txt").c_str(), F_OK) == 0) return program_dir_;
    std::string prefix = program_dir_;
    for (int up = 0; up < 2; ++up) prefix.erase(std::min(prefix.size(), prefix.rfind('/')));
    std::string installed = prefix + "/share/quillon";
    return ::access((installed + "/quillon.txt").c_str(), F_OK) == 0 ? installed : program_dir_;
}

std::string FileLocations::program_file(std::string_view name) const {
    std::string relative(name);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return shared_data_dir() + "/" + relative;
}

std::string FileLocations::settings_file() const {
    return file_in(config_dir_, "quillon.ini", !is_portable());
}

std::string FileLocations::address_book() const {
    return record_in(data_dir_, "addressbook.mdb", !is_portable());
}

std::string FileLocations::spool_file() const {
    return file_in(cache_dir_, "vlorn.cmp", !is_portable());
}

std::string FileLocations::data_dir() const {
    if (!is_portable()) make_private_folder(data_dir_);
    return data_dir_;
}

std::string FileLocations::instance_lock() const {
    return file_in(config_dir_, "quillon.lock", !is_portable());
}

} // namespace quillon
