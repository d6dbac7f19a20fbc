// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

#include <functional>
#include <string>

namespace quillon::testing {

// A file to send held in memory.
OutgoingFile memory_file(std::string name, std::string content, std::int64_t mtime = 0);

// A line between two engines in virtual time: so many bytes a second each
// way, each byte arriving delay_ms after it left; noise may change, drop
// or add bytes of what leaves either side.
struct VirtualLine {
    int bytes_per_second = 1'000'000;
    EngineTime delay_ms = 1;
    std::function<void(std::string& bytes)> noise{};
    // Called every step with the time, to do things half-way.
    std::function<void(EngineTime now)> each_step{};
};

struct PumpResult {
    EngineTime elapsed_ms = 0;
    std::uint64_t bytes_a_to_b = 0;
};

// Runs the two engines against each other until both have ended and the
// line is empty, or until limit_ms of virtual time.
PumpResult pump(TransferEngine& a, TransferEngine& b, const VirtualLine& line, EngineTime limit_ms = 3'600'000);

} // namespace quillon::testing
