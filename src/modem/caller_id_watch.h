// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Program;

// Finds the caller's number in the modem's caller-ID lines ("NMBR = 5551001")
// while no call is connected, and tells the call-event feed. "P" (private)
// and "O" (out of area) carry no number.
class CallerIdWatch {
public:
    explicit CallerIdWatch(Program& program) : p_(program) {}

    // What the line delivered, in whatever pieces it came.
    void take(const std::string& arrived);

private:
    void take_line(const std::string& line);

    Program& p_;
    std::string partial_;
    bool overlong_ = false;
};

} // namespace quillon
