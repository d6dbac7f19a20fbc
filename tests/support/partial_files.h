// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace quillon::testing {

// Names of files a reception writes before moving them into place, left
// in folder.
inline int partial_files_in(const std::string& folder) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".part-") != std::string::npos) ++n;
    return n;
}

} // namespace quillon::testing
