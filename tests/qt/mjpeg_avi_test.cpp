// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/mjpeg_avi.h"
#include "qt/qt_media.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace quillon {
namespace {

TEST(MjpegAvi, ADamagedFileGivesTheFramesWhollyInsideAndOthersNothing) {
    std::ifstream in(std::string(QUILLON_PROGRAM_DIR) + "/images/filecopy.avi", std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(file.size(), 1000u);
    auto half = parse_mjpeg_avi(std::string_view(file).substr(0, file.size() / 2));
    ASSERT_TRUE(half);
    EXPECT_GT(half->frames.size(), 0u);
    EXPECT_LT(half->frames.size(), 12u);
    EXPECT_EQ(decoded_frames(*half).size(), half->frames.size());

    std::string not_video = file;
    not_video.replace(8, 4, "WAVE");
    std::string no_jpeg = file;
    for (std::size_t at = no_jpeg.find("MJPG"); at != std::string::npos; at = no_jpeg.find("MJPG", at))
        no_jpeg.replace(at, 4, "H264");
    for (const std::string &bad : {std::string(), std::string("RIFF"), not_video, no_jpeg, std::string(64, '\xff')})
        EXPECT_FALSE(parse_mjpeg_avi(bad)) << bad.size();
}

} // namespace
} // namespace quillon
