// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

// Whether the window toolkit can show a picture or play an animation file,
// and the desktop's way of opening a folder.
class Media {
public:
    virtual ~Media() = default;
    virtual bool can_show_picture(const std::string& path) = 0;
    virtual bool can_play_animation(const std::string& path) = 0;
    // Shows the folder in the desktop's file manager; false when the
    // desktop has no program to open it with.
    virtual bool open_folder(const std::string& path) = 0;
};

} // namespace quillon
