// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

// One running copy for one set of files: an flock on a file in the
// settings folder, held for the life of the copy and dropped by the kernel
// however the copy ends. A copy that cannot make the file at all (a
// read-only folder) counts as the only one: it cannot spoil what it cannot
// write either.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another copy holds the files.
    bool held() const { return held_; }

    // A word for the next copy, kept in the lock file: it needs no room in
    // the folder, so it gets through where the settings did not.
    void leave_note(const std::string& text);
    // What the copy before left; told once.
    std::string take_note();

private:
    int fd_ = -1;
    bool held_ = true;
};

} // namespace quillon
