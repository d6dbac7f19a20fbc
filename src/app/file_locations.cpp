#include "app/file_locations.h"

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

// Makes dir and its missing parents, private to the user as the XDG rules
// ask; a failure shows later, when the file in it cannot be opened.
void make_folder(const std::string& dir) {
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
        if (slash == std::string::npos) return;
    }
}

std::string file_in(const std::string& dir, const std::string& name, bool own_folder) {
    if (own_folder) make_folder(dir);
    return dir + "/" + name;
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

std::string FileLocations::program_file(std::string_view name) const {
    std::string relative(name);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return program_dir_ + "/" + relative;
}

std::string FileLocations::settings_file() const {
    return file_in(config_dir_, "quillon.ini", !is_portable());
}

std::string FileLocations::address_book() const {
    return file_in(data_dir_, "addressbook.mdb", !is_portable());
}

std::string FileLocations::spool_file() const {
    return file_in(cache_dir_, "vlorn.cmp", !is_portable());
}

std::string FileLocations::data_dir() const {
    if (!is_portable()) make_folder(data_dir_);
    return data_dir_;
}

} // namespace quillon
