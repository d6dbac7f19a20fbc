// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/line_supervision.h"

#include "app/program.h"

namespace quillon {

void LineSupervision::check_carrier() {
    SharedState& s = p_.state;
    bool carrier = p_.MSComm1.cd_holding();
    if (s.connected == 1 && !carrier) {
        p_.frmmain.txtreceived.set_text(" You're disconnected..");
        end_call(CallEnd::carrier_lost);
    }
    if (s.connected == 0) check_modem_ready();
}

void LineSupervision::end_call(CallEnd why) {
    SharedState& s = p_.state;
    s.connected = 0;
    // The modem's own "NO CARRIER" arrived as chat text; left in the
    // buffer it would cut the next call's CONNECT.
    p_.comm_handler.empty_line_buffer();
    p_.transfer.call_lost();
    p_.dialler.call_over();
    s.send_block = 1;
    s.recv_block = 1;
    p_.events.call_ended(why);
}

void LineSupervision::check_modem_ready() {
    // A closed port reads as a modem that is not there.
    bool dsr = p_.MSComm1.dsr_holding();
    constexpr int setup_tries = 3;
    if (p_.state.modem_init_state == 2) unanswered_setups_ = 0;
    if (!dsr) setup_due_ = true;
    else if (setup_due_ || (unanswered_setups_ > 0 && unanswered_setups_ < setup_tries)) set_up_again();
    else unanswered_setups_ = 0;
    if (dsr && unanswered_setups_ == 0) {
        p_.frmmain.txtreceived.set_text("Modem ready...");
        p_.state.modem_ready = 1;
        p_.dialler.enable_dial_controls();
    } else {
        p_.frmmain.txtreceived.set_text("Modem not ready...");
        p_.state.modem_ready = 0;
        p_.dialler.disable_dial_controls();
    }
}

// As at start-up, and counted ready only once the modem has answered it and
// the echo-off that follows; a modem still booting is asked again each tick.
void LineSupervision::set_up_again() {
    setup_due_ = false;
    ++unanswered_setups_;
    p_.comm_handler.empty_line_buffer();
    p_.state.modem_init_state = 1;
    p_.MSComm1.output(modem_setup);
}

} // namespace quillon
