// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::artwork {

// A Motion-JPEG AVI file (RIFF 'AVI ': hdrl with avih and one video stream,
// movi with one '00dc' chunk per frame, idx1) made of ready JPEG frames.
std::string mjpeg_avi(const std::vector<std::string> &jpeg_frames, std::uint32_t width, std::uint32_t height,
                      std::uint32_t frames_per_second);

} // namespace quillon::artwork
