// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The frames of a Motion-JPEG AVI file as stored, enough to play it without
// a codec library (Qt has none for AVI). Not a general AVI demuxer: only the
// first video stream is read, and only when it is Motion-JPEG.
struct MjpegMovie {
    std::uint32_t microseconds_per_frame = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::string> frames; // JPEG data, in play order
};

// nullopt for anything that is not a Motion-JPEG AVI. A damaged file gives
// the frames that lie wholly inside it.
std::optional<MjpegMovie> parse_mjpeg_avi(std::string_view file);
std::optional<MjpegMovie> read_mjpeg_avi(const std::string &path);

} // namespace quillon
