// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"

#include <string>

namespace quillon {

class SharedState;

// Finds the caller's number in the modem's caller-ID lines ("NMBR = 5551001")
// and tells the call-event feed. Only the modem speaks between its RING and
// its CONNECT; from CONNECT until the call ends the peer's bytes arrive
// too, so nothing there counts. "P" (private) and "O" (out of area) carry
// no number.
class CallerIdWatch : public CallEvents {
public:
    CallerIdWatch(SharedState& state, CallEventHub& events) : state_(state), events_(events) {}

    // What the line delivered, in whatever pieces it came.
    void take(const std::string& arrived);

    void call_ended(CallEnd) override { ringing_ = in_call_ = false; }

private:
    void take_line(const std::string& line);

    SharedState& state_;
    CallEventHub& events_;
    std::string partial_;
    bool overlong_ = false;
    bool ringing_ = false;
    bool in_call_ = false;
};

} // namespace quillon
