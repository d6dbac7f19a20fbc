// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/poll_event_loop.h"
#include "modem/line.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quillon::testing {

// Everything a line reports, in order, and how often bytes were announced.
struct LineRecorder : LineListener {
    explicit LineRecorder(Line& line) : line_(line) { line.set_listener(this); }
    void line_readable() override {
        ++announced;
        line_.read_available(text);
    }
    void line_error(int code) override { errors.push_back(code); }
    Line& line_;
    int announced = 0;
    std::string text;
    std::vector<int> errors;
};

// Runs the loop until done() holds; false when seconds pass first.
inline bool wait_for(PollEventLoop& loop, const std::function<bool()>& done, double seconds = 10) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        loop.wait_for_events(0.01);
    }
    return true;
}

} // namespace quillon::testing
