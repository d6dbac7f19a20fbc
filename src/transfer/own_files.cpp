// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/own_files.h"


#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace quillon {

namespace {
namespace fs = std::filesystem;

struct FileId {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
};

FileId identify(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino};
}

// The last part of a name; empty when resolving could change it.
std::string_view last_part(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view part = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return part == "." || part == ".." ? std::string_view{} : part;
}

} // namespace

// Files that exist are compared by inode, through links (hard ones too);
// two names of files not there yet, by their resolved names.
bool is_own_file(const FileLocations& files, const std::string& log_folder, const std::string& path) {
    static const std::string executable = [] {
        std::error_code error;
        return fs::read_symlink("/proc/self/exe", error).string();
    }();
    // The session log's files are written while a call goes on.
    std::error_code parent_error;
    const fs::path folder = fs::weakly_canonical(fs::path(path).parent_path(), parent_error);
    const fs::path logs = fs::weakly_canonical(log_folder, parent_error);
    if (!parent_error && folder == logs) return true;
    const FileId target = identify(path);
    std::optional<fs::path> resolved_target;
    for (const std::string& own :
         {files.spool_file(), files.settings_file(), files.address_book(), executable}) {
        if (own.empty()) continue;
        const FileId id = identify(own);
        if (target.exists || id.exists) {
            if (target.exists && id.exists && target.device == id.device && target.inode == id.inode) return true;
            continue;
        }
        // Resolving keeps the last part of a name not there yet.
        const std::string_view target_name = last_part(path);
        if (!target_name.empty() && target_name != last_part(own)) continue;
        std::error_code error;
        if (!resolved_target) resolved_target = fs::weakly_canonical(path, error);
        if (error) return false;
        fs::path resolved_own = fs::weakly_canonical(own, error);
        if (!error && resolved_own == *resolved_target) return true;
    }
    return false;
}

} // namespace quillon
