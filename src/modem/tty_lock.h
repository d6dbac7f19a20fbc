#pragma once

#include <string>

namespace quillon {

// The UUCP lock file by which Linux serial programs agree on who uses a
// device: "LCK..<name>" in the lock directory, holding the owner's PID as
// ten characters and a newline. A lock whose owner is dead is removed. The
// file goes when this object does, or at remove_held_tty_locks().
class TtyLock {
public:
    // Throws LineError naming the program that holds the device. Where no
    // lock file can be written (no lock directory, or no right to it) none
    // is held and the device's own lock has to do.
    TtyLock(const std::string& device, const std::string& lock_dir);
    ~TtyLock();
    TtyLock(const TtyLock&) = delete;
    TtyLock& operator=(const TtyLock&) = delete;

    // Empty when none is held.
    const std::string& path() const { return path_; }

    // The directory the system keeps its lock files in.
    static std::string system_lock_dir();

private:
    std::string path_;
};

// Removes every lock file this process holds; for an exit that runs no
// destructors.
void remove_held_tty_locks();

} // namespace quillon
