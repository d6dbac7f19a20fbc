// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/mjpeg_avi.h"

#include <filesystem>
#include <fstream>
#include <functional>

namespace quillon {

namespace {

// Bigger than any animation this program ships, small enough to read whole.
constexpr std::uintmax_t max_file_size = 64u << 20;

std::uint32_t u32(std::string_view data, std::size_t at) {
    if (at + 4 > data.size()) return 0;
    auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + i])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::string_view fourcc(std::string_view data, std::size_t at) {
    return at + 4 <= data.size() ? data.substr(at, 4) : std::string_view{};
}

bool same_code(std::string_view a, std::string_view b) {
    if (a.size() != 4 || b.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

// Calls visit(id, body) for every chunk inside data. A chunk whose size runs
// past the end stops the walk; a list cut short that way is still visited
// for the chunks it does hold.
void each_chunk(std::string_view data, const std::function<void(std::string_view, std::string_view)> &visit) {
    std::size_t at = 0;
    while (at + 8 <= data.size()) {
        std::string_view id = data.substr(at, 4);
        std::size_t size = u32(data, at + 4);
        if (size > data.size() - at - 8) {
            if (id == "LIST") visit(id, data.substr(at + 8));
            return;
        }
        visit(id, data.substr(at + 8, size));
        at += 8 + size + (size & 1);
    }
}

struct Reader {
    MjpegMovie movie;
    int stream = -1; // index of the video stream
    int streams_seen = 0;
    bool mjpeg = false;

    void header_list(std::string_view body) {
        each_chunk(body, [this](std::string_view id, std::string_view chunk) {
            if (id == "avih") {
                movie.microseconds_per_frame = u32(chunk, 0);
                movie.width = u32(chunk, 32);
                movie.height = u32(chunk, 36);
            } else if (id == "LIST" && fourcc(chunk, 0) == "strl") {
                stream_list(chunk.substr(4));
            }
        });
    }

    void stream_list(std::string_view body) {
        int index = streams_seen++;
        bool video = false;
        bool jpeg = false;
        each_chunk(body, [&](std::string_view id, std::string_view chunk) {
            if (id == "strh") {
                video = fourcc(chunk, 0) == "vids";
                jpeg = jpeg || same_code(fourcc(chunk, 4), "MJPG");
            } else if (id == "strf") {
                jpeg = jpeg || same_code(fourcc(chunk, 16), "MJPG");
            }
        });
        if (video && stream < 0) {
            stream = index;
            mjpeg = jpeg;
        }
    }

    void movie_list(std::string_view body) {
        char tag[3] = {static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10), 0};
        each_chunk(body, [&](std::string_view id, std::string_view chunk) {
            if (id == "LIST" && fourcc(chunk, 0) == "rec ") {
                movie_list(chunk.substr(4));
            } else if (id.substr(0, 2) == tag && (id.substr(2) == "dc" || id.substr(2) == "db") && !chunk.empty()) {
                movie.frames.emplace_back(chunk);
            }
        });
    }
};

} // namespace

std::optional<MjpegMovie> parse_mjpeg_avi(std::string_view file) {
    if (fourcc(file, 0) != "RIFF" || fourcc(file, 8) != "AVI ") return std::nullopt;
    std::size_t riff_end = std::min<std::size_t>(file.size(), std::size_t{8} + u32(file, 4));
    Reader r;
    std::string_view movi;
    each_chunk(file.substr(12, riff_end - 12), [&](std::string_view id, std::string_view chunk) {
        if (id != "LIST") return;
        if (fourcc(chunk, 0) == "hdrl")
            r.header_list(chunk.substr(4));
        else if (fourcc(chunk, 0) == "movi" && movi.empty())
            movi = chunk.substr(4);
    });
    if (r.stream < 0 || !r.mjpeg) return std::nullopt;
    r.movie_list(movi);
    return std::move(r.movie);
}

std::optional<MjpegMovie> read_mjpeg_avi(const std::string &path) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > max_file_size) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
    return parse_mjpeg_avi(bytes);
}

} // namespace quillon
