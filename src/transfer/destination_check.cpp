// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/destination_check.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {

std::string destination_problem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "it is a folder";
        if (!S_ISREG(st.st_mode)) return "it is a device or another special file, not a file";
    } else if (errno != ENOENT) {
        return std::strerror(errno);
    }
    // The file is replaced through a new one beside it, so its folder must
    // take new files.
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return std::strerror(errno);
    return "";
}

} // namespace quillon
