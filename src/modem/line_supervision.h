// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"

namespace quillon {

class Program;

// What the start-up writes to set the modem up; its "OK" brings echo off.
inline constexpr const char* modem_setup = "AT&D2\r";

// The carrier and readiness checks run by Timer1.
class LineSupervision {
public:
    explicit LineSupervision(Program& program) : p_(program) {}

    void check_carrier();
    void check_modem_ready();
    // The window's side of a call that is over: counters reset, the
    // transfer stopped, the listeners told why.
    void end_call(CallEnd why);

private:
    void set_up_again();

    Program& p_;
    // DSR went since the modem was last set up: switched off and on, or
    // replugged, it is back with its factory settings.
    bool setup_due_ = false;
    // Setups written and not yet answered; a modem that never answers is
    // counted ready after a few, as the start-up counts it without waiting.
    int unanswered_setups_ = 0;
};

} // namespace quillon
