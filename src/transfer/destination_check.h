// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

// Why a reception could not be saved at path (a folder, a device, a place
// the user may not write), or empty when it can. Asked at the save dialog,
// before any of the file is accepted.
std::string destination_problem(const std::string& path);

} // namespace quillon
