// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Where received files are offered to go: XDG_DOWNLOAD_DIR (from the
// environment or ~/.config/user-dirs.dirs), else ~/Downloads when it
// exists, else the home folder.
std::string download_folder();

// The path the save dialog suggests for a file of this name.
std::string in_download_folder(std::string_view name);

} // namespace quillon
