// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"

namespace quillon {

class CommHandler;
class Dialler;
class MainForm;
class SerialControl;
class SharedState;
class TransferLink;

// What the start-up writes to set the modem up; its "OK" brings echo off.
inline constexpr const char* modem_setup = "AT&D2\r";

// The carrier and readiness checks run by Timer1.
class LineSupervision {
public:
    LineSupervision(MainForm& form, SharedState& state, CallEventHub& events, SerialControl& comm,
                    CommHandler& comm_handler, Dialler& dialler, TransferLink& transfer)
        : form_(form), state_(state), events_(events), comm_(comm), comm_handler_(comm_handler), dialler_(dialler),
          transfer_(transfer) {}

    void check_carrier();
    void check_modem_ready();
    // The window's side of a call that is over: counters reset, the
    // transfer stopped, the listeners told why.
    void end_call(CallEnd why);

private:
    void set_up_again();

    MainForm& form_;
    SharedState& state_;
    CallEventHub& events_;
    SerialControl& comm_;
    CommHandler& comm_handler_;
    Dialler& dialler_;
    TransferLink& transfer_;
    // DSR went since the modem was last set up: switched off and on, or
    // replugged, it is back with its factory settings.
    bool setup_due_ = false;
    // Setups written and not yet answered; a modem that never answers is
    // counted ready after a few, as the start-up counts it without waiting.
    int unanswered_setups_ = 0;
};

} // namespace quillon
