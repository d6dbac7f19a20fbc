// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/tty_lock.h"

#include "modem/line.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

std::set<std::string>& held_locks() {
    static std::set<std::string> held;
    return held;
}

// "/dev/ttyUSB0" gives "ttyUSB0", "/dev/pts/3" gives "pts_3".
std::string lock_name(std::string path) {
    if (path.rfind("/dev/", 0) == 0) path.erase(0, 5);
    else if (auto slash = path.rfind('/'); slash != std::string::npos) path.erase(0, slash + 1);
    for (char& c : path)
        if (c == '/') c = '_';
    return "LCK.." + path;
}

// The device's name as given and, where that is a link, its own name.
std::vector<std::string> lock_names(const std::string& device) {
    std::vector<std::string> names{lock_name(device)};
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved))
        if (std::string own = lock_name(resolved); own != names.front()) names.push_back(own);
    return names;
}

// A lock file without a PID this young is still being written by its maker.
constexpr int pid_grace_seconds = 5;

bool young(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && ::time(nullptr) - st.st_mtime < pid_grace_seconds;
}

pid_t owner_of(const std::string& path) {
    std::ifstream in(path);
    long pid = 0;
    if (!(in >> pid) || pid <= 0 || pid > INT_MAX) return 0;
    return static_cast<pid_t>(pid);
}

bool alive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

std::string program_name(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "another program" : name;
}

// Written beside the lock and linked into place, so no one ever reads a
// lock file without its PID.
bool place_lock(const std::string& dir, const std::string& path) {
    std::string temp = dir + "/LTMP." + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    char text[16];
    int n = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    bool written = ::write(fd, text, static_cast<std::size_t>(n)) == n;
    ::fchmod(fd, 0644);
    ::close(fd);
    bool linked = written && ::link(temp.c_str(), path.c_str()) == 0;
    int error = errno;
    ::unlink(temp.c_str());
    errno = linked ? 0 : (written ? error : EIO);
    return linked;
}

} // namespace

std::string TtyLock::system_lock_dir() {
    struct stat st {};
    return ::stat("/run/lock", &st) == 0 && S_ISDIR(st.st_mode) ? "/run/lock" : "/var/lock";
}

TtyLock::TtyLock(const std::string& device, const std::string& lock_dir) {
    try {
        for (const std::string& name : lock_names(device)) take(device, lock_dir + "/" + name, lock_dir);
    } catch (...) {
        release();
        throw;
    }
}

void TtyLock::take(const std::string& device, const std::string& path, const std::string& lock_dir) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (place_lock(lock_dir, path)) {
            paths_.push_back(path);
            held_locks().insert(path);
            return;
        }
        if (errno != EEXIST) return;
        pid_t owner = owner_of(path);
        if (owner == 0 && young(path)) throw DeviceUnavailable(device + " is locked by another program");
        // A lock of this very process, left by an earlier run with the same
        // PID, is as stale as one of a dead process.
        bool ours = held_locks().count(path) > 0;
        if (owner != 0 && (ours || (owner != ::getpid() && alive(owner))))
            throw DeviceUnavailable(device + " is in use by " + program_name(owner) + " (process " + std::to_string(owner) +
                            ")");
        ::unlink(path.c_str());
    }
    throw DeviceUnavailable(device + " is locked by another program");
}

void TtyLock::release() {
    for (const std::string& path : paths_) {
        held_locks().erase(path);
        if (owner_of(path) == ::getpid()) ::unlink(path.c_str());
    }
    paths_.clear();
}

TtyLock::~TtyLock() { release(); }

void remove_held_tty_locks() {
    for (const std::string& path : held_locks())
        if (owner_of(path) == ::getpid()) ::unlink(path.c_str());
    held_locks().clear();
}

} // namespace quillon
