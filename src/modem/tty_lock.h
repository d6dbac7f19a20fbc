// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillon {

// The UUCP lock files by which Linux serial programs agree on who uses a
// device: "LCK..<name>" in the lock directory, holding the owner's PID as
// ten characters and a newline. A device reached through a link is locked
// under the link's name and under the device's own, as other programs may
// use either. A lock is stale only when it names a dead process; one with
// no PID yet is in use while young, as its maker may be about to write it.
// The files go when this object does, or at remove_held_tty_locks().
class TtyLock {
public:
    // Throws LineError naming the program that holds the device. Where no
    // lock file can be written (no lock directory, or no right to it) none
    // is held and the device's own lock has to do.
    TtyLock(const std::string& device, const std::string& lock_dir);
    ~TtyLock();
    TtyLock(const TtyLock&) = delete;
    TtyLock& operator=(const TtyLock&) = delete;

    // The lock files held; empty when none is.
    const std::vector<std::string>& paths() const { return paths_; }

    // The directory the system keeps its lock files in.
    static std::string system_lock_dir();

private:
    void take(const std::string& device, const std::string& path, const std::string& lock_dir);
    void release();

    std::vector<std::string> paths_;
};

// Removes every lock file this process holds; for an exit that runs no
// destructors.
void remove_held_tty_locks();

} // namespace quillon
