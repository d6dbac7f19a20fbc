// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/transfer_frames.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace quillon::bench {

// The shortest time a stop-and-wait exchange of the transfer's frames can
// take on a line of this rate (10 bits a character) and one-way latency:
// each frame and its request cross the line one after the other. The last
// request's own crossing is last_request_seconds of it.
struct StopAndWait {
    double seconds = 0;
    double last_request_seconds = 0;
};

inline StopAndWait stop_and_wait_bound(std::size_t size, bool binary, const std::string &file_name, double rate,
                                       double latency) {
    namespace frames = quillon::frames;
    std::size_t block = binary ? frames::binary_block_size : frames::text_block_size;
    std::size_t length = binary ? 2 * size : size;
    StopAndWait bound;
    auto crossing = [&](std::size_t chars) { return static_cast<double>(chars) * 10 / rate + latency; };
    auto exchange = [&](std::size_t frame_chars, std::size_t reply_chars) {
        bound.last_request_seconds = crossing(reply_chars);
        bound.seconds += crossing(frame_chars) + bound.last_request_seconds;
    };
    exchange(frames::end_of_block.size(), frames::request.size());
    exchange(std::to_string(length).size() + frames::end_of_block.size(), frames::request.size());
    exchange(file_name.size() + frames::end_of_block.size(), frames::request.size());
    exchange((binary ? 6 : 4) + frames::end_of_block.size(), frames::request.size());
    std::size_t blocks = size == 0 ? 1 : (size + block - 1) / block;
    for (std::size_t i = 0; i < blocks; ++i) {
        std::size_t bytes = std::min(block, size - i * block);
        bool last = i + 1 == blocks;
        std::size_t frame = (binary ? 2 * bytes : bytes) + frames::end_of_block.size();
        std::size_t reply = frames::request.size();
        if (last && !binary) {
            frame += frames::sender_trailer.size();
            reply += frames::receiver_notice.size();
        }
        exchange(frame, reply);
    }
    return bound;
}

} // namespace quillon::bench
