// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillon {

void give_usual_permissions(int fd) {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplacingFile::open(const std::string& destination) {
    discard();
    // A device, a pipe or a folder is not a file to be replaced.
    struct stat existing {};
    if (::stat(destination.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return false;
    std::string name = destination + ".part-XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return false;
    give_usual_permissions(fd);
    destination_ = destination;
    temporary_ = buffer.data();
    fd_ = fd;
    return true;
}

bool ReplacingFile::write(std::string_view bytes) {
    return write_all(fd_, bytes);
}

bool ReplacingFile::commit() {
    if (fd_ < 0) return false;
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    if (ok && std::rename(temporary_.c_str(), destination_.c_str()) == 0) {
        temporary_.clear();
        return true;
    }
    discard();
    return false;
}

void ReplacingFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
}

} // namespace quillon
