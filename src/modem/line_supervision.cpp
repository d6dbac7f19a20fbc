// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/line_supervision.h"

#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/comm_handler.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"
#include "modem/transfer_link.h"

namespace quillon {

void LineSupervision::check_carrier() {
    SharedState& s = state_;
    bool carrier = comm_.cd_holding();
    if (s.connected == 1 && !carrier) {
        form_.txtreceived.set_text(" You're disconnected..");
        end_call(CallEnd::carrier_lost);
    }
    if (s.connected == 0) check_modem_ready();
}

void LineSupervision::end_call(CallEnd why) {
    SharedState& s = state_;
    s.connected = 0;
    // The modem's own "NO CARRIER" arrived as chat text; left in the
    // buffer it would cut the next call's CONNECT.
    comm_handler_.empty_line_buffer();
    transfer_.call_lost();
    dialler_.call_over();
    s.send_block = 1;
    s.recv_block = 1;
    events_.call_ended(why);
}

void LineSupervision::check_modem_ready() {
    // A closed port reads as a modem that is not there.
    bool dsr = comm_.dsr_holding();
    constexpr int setup_tries = 3;
    if (state_.modem_init_state == 2) unanswered_setups_ = 0;
    if (!dsr) setup_due_ = true;
    else if (setup_due_ || (unanswered_setups_ > 0 && unanswered_setups_ < setup_tries)) set_up_again();
    else unanswered_setups_ = 0;
    if (dsr && unanswered_setups_ == 0) {
        form_.txtreceived.set_text("Modem ready...");
        state_.modem_ready = 1;
        dialler_.enable_dial_controls();
    } else {
        form_.txtreceived.set_text("Modem not ready...");
        state_.modem_ready = 0;
        dialler_.disable_dial_controls();
    }
}

// As at start-up, and counted ready only once the modem has answered it and
// the echo-off that follows; a modem still booting is asked again each tick.
void LineSupervision::set_up_again() {
    setup_due_ = false;
    ++unanswered_setups_;
    comm_handler_.empty_line_buffer();
    state_.modem_init_state = 1;
    comm_.output(modem_setup);
}

} // namespace quillon
