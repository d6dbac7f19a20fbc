// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillon {

// The user's own folders for settings, data and cache, after the XDG base
// directory rules.
struct UserFolders {
    std::string config; // $XDG_CONFIG_HOME, else ~/.config
    std::string data;   // $XDG_DATA_HOME, else ~/.local/share
    std::string cache;  // $XDG_CACHE_HOME, else ~/.cache
};

// Reads the folders from the environment through getenv; a variable that is
// unset, empty or not an absolute path falls back to its default under HOME
// (or the password database's home when HOME is unset).
UserFolders user_folders(const std::function<const char*(const char*)>& getenv);

// Where every file of the program lives; no other code builds a path.
// Portable: everything in the program directory, beside the executable.
// Per user: settings, address book and spool in a "quillon" folder of the
// user's config, data and cache folders, each made when first named; the
// help text and images stay with the program: beside it, or under
// share/quillon of the prefix it is installed in (prefix/lib/quillon/quillon).
class FileLocations {
public:
    static FileLocations portable(const std::string& program_dir);
    static FileLocations per_user(const std::string& program_dir, const UserFolders& folders);
    // Portable when the program directory is writable and already holds
    // quillon.ini (a build folder, a copy of its own); per user otherwise.
    static FileLocations choose(const std::string& program_dir, const UserFolders& folders);

    // A file shipped with the program (help text, images), named with "\"
    // as the separator.
    std::string program_file(std::string_view name) const;
    std::string settings_file() const; // quillon.ini
    std::string address_book() const;  // addressbook.mdb
    std::string spool_file() const;    // vlorn.cmp
    // Held by the running copy; beside the settings, as they make a set of files.
    std::string instance_lock() const; // quillon.lock
    // The folder for the user's own records (logs, history).
    std::string data_dir() const;

    bool is_portable() const { return portable_; }

private:
    std::string shared_data_dir() const;
    FileLocations(bool portable, std::string program_dir, std::string config, std::string data, std::string cache);

    bool portable_;
    std::string program_dir_;
    std::string config_dir_;
    std::string data_dir_;
    std::string cache_dir_;
};

} // namespace quillon
