// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillon {

InstanceLock::InstanceLock(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    held_ = errno != EWOULDBLOCK;
}

void InstanceLock::leave_note(const std::string& text) {
    if (fd_ < 0 || !held_) return;
    if (::ftruncate(fd_, 0) == 0) [[maybe_unused]] ssize_t n = ::pwrite(fd_, text.data(), text.size(), 0);
}

std::string InstanceLock::take_note() {
    std::string note;
    if (fd_ < 0 || !held_) return note;
    char buffer[1024];
    for (ssize_t n; (n = ::pread(fd_, buffer, sizeof buffer, static_cast<off_t>(note.size()))) > 0;)
        note.append(buffer, static_cast<std::size_t>(n));
    if (!note.empty() && ::ftruncate(fd_, 0) != 0) return {};
    return note;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

} // namespace quillon
