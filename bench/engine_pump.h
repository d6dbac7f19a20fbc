// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace quillon::testing {

// A file to send held in memory.
inline OutgoingFile memory_file(std::string name, std::string content, std::int64_t mtime = 0) {
    struct StringSource : ByteSource {
        explicit StringSource(std::string text) : content(std::move(text)) {}
        std::optional<std::string> read(std::uint64_t offset, std::size_t max) override {
            if (offset >= content.size()) return std::string();
            return content.substr(offset, max);
        }
        std::string content;
    };
    OutgoingFile file;
    file.name = std::move(name);
    file.size = content.size();
    file.mtime = mtime;
    file.source = std::make_shared<StringSource>(std::move(content));
    return file;
}

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
inline PumpResult pump(TransferEngine& a, TransferEngine& b, const VirtualLine& line, EngineTime limit_ms = 3'600'000) {
    constexpr EngineTime step_ms = 5;
    struct Direction {
        TransferEngine& from;
        TransferEngine& to;
        std::deque<std::pair<EngineTime, std::string>> in_flight{};
        double credit = 0;
        std::uint64_t carried = 0;

        void step(EngineTime now, const VirtualLine& line) {
            double per_step = line.bytes_per_second * step_ms / 1000.0;
            credit = std::min(credit + per_step, 2 * per_step);
            std::string bytes = from.take_output(static_cast<std::size_t>(credit));
            credit -= bytes.size();
            carried += bytes.size();
            if (line.noise && !bytes.empty()) line.noise(bytes);
            if (!bytes.empty()) in_flight.emplace_back(now + line.delay_ms, std::move(bytes));
            while (!in_flight.empty() && in_flight.front().first <= now) {
                to.receive(in_flight.front().second);
                in_flight.pop_front();
            }
        }
    };
    Direction ab{a, b}, ba{b, a};
    EngineTime now = 0;
    int quiet_steps = 0;
    while (now < limit_ms && quiet_steps < 10) {
        now += step_ms;
        a.set_time(now);
        b.set_time(now);
        if (line.each_step) line.each_step(now);
        ab.step(now, line);
        ba.step(now, line);
        bool quiet = !a.running() && !b.running() && ab.in_flight.empty() && ba.in_flight.empty();
        quiet_steps = quiet ? quiet_steps + 1 : 0;
    }
    return {now, ab.carried};
}

} // namespace quillon::testing
