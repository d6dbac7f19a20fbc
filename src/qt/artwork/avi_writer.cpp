// SPDX-License-Identifier: GPL-3.0-or-later
#include "avi_writer.h"

#include <algorithm>
#include <string_view>

namespace quillon::artwork {

namespace {

void put32(std::string &out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xff));
}

void put16(std::string &out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>(v >> 8));
}

std::string chunk(std::string_view id, std::string_view body) {
    std::string out(id);
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.append(body);
    if (body.size() % 2) out.push_back('\0');
    return out;
}

std::string list(std::string_view type, std::string_view body) {
    std::string inner(type);
    inner.append(body);
    return chunk("LIST", inner);
}

} // namespace

std::string mjpeg_avi(const std::vector<std::string> &jpeg_frames, std::uint32_t width, std::uint32_t height,
                      std::uint32_t frames_per_second) {
    auto frames = static_cast<std::uint32_t>(jpeg_frames.size());
    std::uint32_t largest = 0;
    for (const std::string &f : jpeg_frames)
        largest = std::max(largest, static_cast<std::uint32_t>(f.size()));

    std::string avih;
    put32(avih, 1000000 / frames_per_second);
    put32(avih, largest * frames_per_second);
    put32(avih, 0);    // padding granularity
    put32(avih, 0x10); // AVIF_HASINDEX
    put32(avih, frames);
    put32(avih, 0); // initial frames
    put32(avih, 1); // streams
    put32(avih, largest);
    put32(avih, width);
    put32(avih, height);
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);

    std::string strh = "vidsMJPG";
    put32(strh, 0); // flags
    put16(strh, 0); // priority
    put16(strh, 0); // language
    put32(strh, 0); // initial frames
    put32(strh, 1); // scale
    put32(strh, frames_per_second);
    put32(strh, 0); // start
    put32(strh, frames);
    put32(strh, largest);
    put32(strh, 0xffffffff); // quality: default
    put32(strh, 0);          // sample size: varies
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, static_cast<std::uint16_t>(width));
    put16(strh, static_cast<std::uint16_t>(height));

    std::string strf;
    put32(strf, 40);
    put32(strf, width);
    put32(strf, height);
    put16(strf, 1);  // planes
    put16(strf, 24); // bits per pixel
    strf.append("MJPG");
    put32(strf, width * height * 3);
    for (int i = 0; i < 4; ++i)
        put32(strf, 0);

    std::string hdrl = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));

    // idx1 offsets count from the 'movi' list type.
    std::string movi;
    std::string idx1;
    for (const std::string &f : jpeg_frames) {
        idx1.append("00dc");
        put32(idx1, 0x10); // key frame
        put32(idx1, static_cast<std::uint32_t>(4 + movi.size()));
        put32(idx1, static_cast<std::uint32_t>(f.size()));
        movi.append(chunk("00dc", f));
    }

    std::string body = "AVI " + hdrl + list("movi", movi) + chunk("idx1", idx1);
    std::string out = "RIFF";
    put32(out, static_cast<std::uint32_t>(body.size()));
    out.append(body);
    return out;
}

} // namespace quillon::artwork
