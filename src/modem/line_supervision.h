// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/call_events.h"

namespace quillon {

class Program;

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
    Program& p_;
};

} // namespace quillon
