// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/dialler.h"

#include "base/call_events.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "base/wait_seconds.h"
#include "modem/comm_handler.h"
#include "modem/dial_number.h"
#include "modem/serial_control.h"

#include <utility>

namespace quillon {

void Dialler::Cmddialn_Click(int index) {
    SharedState& s = state_;
    if (s.dial_number.empty()) {
        form_.txtreceived.set_text("");
        s.dial_entry.clear();
    }
    s.dial_number += static_cast<char>('0' + index);
    form_.txtreceived.set_text(s.dial_number);
    follow_dial_number();
}

void Dialler::remove_last_dial_digit() {
    std::string& number = state_.dial_number;
    if (number.empty()) return;
    number.pop_back();
    form_.txtreceived.set_text(number);
    follow_dial_number();
}

void Dialler::disable_dial_controls() {
    MainForm& f = form_;
    f.cmddial.set_enabled(false);
    f.cmdcan.set_enabled(false);
    f.Cmddialtone.set_enabled(false);
    f.cmdsend.set_enabled(false);
    for (Button& b : f.Cmddialn) b.set_enabled(false);
}

// Dial follows the number that waited through the lock; in a call (a
// transfer ended) the keypad stays at rest, and after one Redial is back
// once there is a number to redial.
void Dialler::enable_dial_controls() {
    MainForm& f = form_;
    f.Cmddialtone.set_enabled(true);
    f.cmdsend.set_enabled(false);
    for (Button& b : f.Cmddialn) b.set_enabled(true);
    if (comm_handler_.call_up()) {
        rest_for_call();
        return;
    }
    if (!state_.last_number.empty()) f.cmdre.set_enabled(true);
    follow_dial_number();
}

void Dialler::rest_for_call() {
    MainForm& f = form_;
    for (Button& b : f.Cmddialn) b.set_enabled(false);
    f.cmddial.set_enabled(false);
    // Shown over the address book, cmdre is the way back from it.
    if (!f.DBGrid1.visible()) f.cmdre.set_enabled(false);
}

void Dialler::call_over() { form_.cmdcan.set_enabled(false); }

// The keypad is enabled exactly when a dial may go out: a modem ready, no
// call and no transfer.
void Dialler::follow_dial_number() {
    MainForm& f = form_;
    f.cmddial.set_enabled(!state_.dial_number.empty() && f.Cmddialn[0].enabled());
}

void Dialler::Cmddialtone_Click() {
    state_.dial_mode = "tone";
    state_.dial_mode_from_file = false;
}

void Dialler::cmddial_Click() {
    SharedState& s = state_;
    MainForm& f = form_;
    std::optional<std::string> number = dial_string(s.dial_number);
    std::string entry = std::exchange(s.dial_entry, {});
    if (!number) {
        s.dial_number.clear();
        f.cmddial.set_enabled(false);
        f.txtreceived.set_text(refused_number_text(entry));
        return;
    }
    s.dial_number = *number;
    f.cmdre.set_enabled(true);
    f.cmdcan.set_enabled(true);
    f.cmddial.set_enabled(false);
    if (s.dial_mode.compare(0, 5, "pulse") == 0) s.dial_letter = "P";
    else if (s.dial_mode.compare(0, 4, "tone") == 0) s.dial_letter = "T";
    s.last_number = s.dial_number;
    f.txtreceived.set_text("");
    f.txtreceived.set_text("Dialling..." + s.dial_number);
    comm_.output("ATD" + s.dial_letter + s.dial_number + "\r");
    events_.dialling(s.dial_number);
    s.dial_number.clear();
    if (f.DBGrid1.visible()) leave_grid_view();
}

void Dialler::leave_grid_view() {
    MainForm& f = form_;
    f.DBGrid1.set_visible(false);
    f.cmdre.set_picture(files_.program_file("images\\redial.jpg"));
    f.cmdre.set_tooltip("Dial the last number");
    f.lblchat.set_caption("Your chat message goes here");
    if (comm_handler_.call_up()) f.cmdre.set_enabled(false);
}

void Dialler::cmdre_Click() {
    MainForm& f = form_;
    if (f.cmdre.tooltip() == "Dial the last number") {
        comm_.output("ATDL\r");
        events_.dialling(state_.last_number);
        f.txtreceived.set_text("redialling..." + state_.last_number);
        f.cmdcan.set_enabled(true);
    } else if (f.cmdre.tooltip() == "Revert to chat mode") {
        leave_grid_view();
        state_.dial_number.clear();
        f.mnuaddress.set_enabled(true);
    }
}

void Dialler::cmdcan_Click() {
    MainForm& f = form_;
    f.txtreceived.set_text(" ");
    // Told first: the carrier goes while DTR is down.
    events_.call_ended(CallEnd::hung_up);
    drop_call();
}

// The modem drops the call when DTR stays low for two seconds; what was
// written last (the receiver's last request) goes out first.
void Dialler::drop_call() {
    MainForm& f = form_;
    f.cmdre.set_enabled(true);
    comm_.drain_output();
    comm_.set_dtr_enable(false);
    f.cmdcan.set_enabled(false);
    wait_seconds(loop_, 2);
    comm_.set_dtr_enable(true);
    f.mnuaddress.set_enabled(true);
}

} // namespace quillon
