// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/media.h"

#include <QImage>

#include <vector>

namespace quillon {

struct MjpegMovie;

// The frames of a movie that decode, in play order.
std::vector<QImage> decoded_frames(const MjpegMovie &movie);

// What Qt can show: pictures through its image plugins, animations through
// the Motion-JPEG AVI reader; folders through the desktop's file manager.
class QtMedia : public Media {
public:
    bool can_show_picture(const std::string &path) override;
    bool can_play_animation(const std::string &path) override;
    bool open_folder(const std::string &path) override;
};

} // namespace quillon
