// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// A file written under a temporary name beside its destination and moved
// over it only once complete, so an unfinished file never replaces, nor
// leaves behind, anything.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when no file can be made beside destination, or when
    // destination is something other than a plain file.
    bool open(const std::string& destination);
    bool is_open() const { return fd_ >= 0; }
    bool write(std::string_view bytes);
    // Moves the finished file over the destination; false (and nothing
    // left behind) when that fails.
    bool commit();
    // Drops what was written; the destination stays as it was.
    void discard();

private:
    std::string destination_;
    std::string temporary_;
    int fd_ = -1;
};

// Writes all of bytes to fd; false when it cannot.
bool write_all(int fd, std::string_view bytes);
// mkstemp makes files only the owner may read; a received file gets the
// permissions any new file of the user gets.
void give_usual_permissions(int fd);

} // namespace quillon
