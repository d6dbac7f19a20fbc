// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/file_locations.h"

#include <string>

namespace quillon {

// True when path names one of the files the program itself lives on: the
// spool, its settings, its address book, its executable or a file in the
// session log's folder. A received file must never replace one of them.
bool is_own_file(const FileLocations& files, const std::string& log_folder, const std::string& path);

} // namespace quillon
