// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

// The user's own records (address book, spool, session logs) are for the
// user alone, whatever the umask: folders 0700, files 0600.

// Makes dir and its missing parents; true when it is there.
bool make_private_folder(const std::string& dir);
// Makes the file, empty, where it is missing; one already there is left
// as it is.
void make_private_file(const std::string& path);

} // namespace quillon
