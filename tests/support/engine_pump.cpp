// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/engine_pump.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace quillon::testing {

namespace {
class StringSource : public ByteSource {
public:
    explicit StringSource(std::string content) : content_(std::move(content)) {}
    std::optional<std::string> read(std::uint64_t offset, std::size_t max) override {
        if (offset >= content_.size()) return std::string();
        return content_.substr(offset, max);
    }

private:
    std::string content_;
};

struct Direction {
    TransferEngine& from;
    TransferEngine& to;
    std::deque<std::pair<EngineTime, std::string>> in_flight{};
    double credit = 0;
    std::uint64_t carried = 0;

    void step(EngineTime now, EngineTime step_ms, const VirtualLine& line) {
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
} // namespace

OutgoingFile memory_file(std::string name, std::string content, std::int64_t mtime) {
    OutgoingFile file;
    file.name = std::move(name);
    file.size = content.size();
    file.mtime = mtime;
    file.source = std::make_shared<StringSource>(std::move(content));
    return file;
}

PumpResult pump(TransferEngine& a, TransferEngine& b, const VirtualLine& line, EngineTime limit_ms) {
    constexpr EngineTime step_ms = 5;
    Direction ab{a, b}, ba{b, a};
    EngineTime now = 0;
    int quiet_steps = 0;
    while (now < limit_ms && quiet_steps < 10) {
        now += step_ms;
        a.set_time(now);
        b.set_time(now);
        if (line.each_step) line.each_step(now);
        ab.step(now, step_ms, line);
        ba.step(now, step_ms, line);
        bool quiet = !a.running() && !b.running() && ab.in_flight.empty() && ba.in_flight.empty();
        quiet_steps = quiet ? quiet_steps + 1 : 0;
    }
    return {now, ab.carried};
}

} // namespace quillon::testing
