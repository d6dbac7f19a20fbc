// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class CallEventHub;
class CommHandler;
class EventLoop;
class FileLocations;
class MainForm;
class SerialControl;
class SharedState;

// Keypad, dial, redial, tone and cancel buttons.
class Dialler {
public:
    Dialler(EventLoop& loop, const FileLocations& files, MainForm& form, SharedState& state, CallEventHub& events,
            SerialControl& comm, CommHandler& comm_handler)
        : loop_(loop), files_(files), form_(form), state_(state), events_(events), comm_(comm),
          comm_handler_(comm_handler) {}

    void Cmddialn_Click(int index);
    // Backspace on the keypad's number: the last digit goes and the output
    // box shows what is left, as a keypad press shows the number. Dial is
    // disabled once nothing is left to dial.
    void remove_last_dial_digit();
    void Cmddialtone_Click();
    void cmddial_Click();
    void cmdre_Click();
    void cmdcan_Click();
    // The hang-up without its status line; the reconversion goes offline with it.
    void drop_call();

    // Every dial control off, as while the modem is not ready or a file goes.
    void disable_dial_controls();
    // The controls back after a transfer or once the modem is ready.
    void enable_dial_controls();

    // Hides the address-book grid and gives cmdre back its redial role.
    void leave_grid_view();

    // While a call is up the keypad, Dial and Redial rest: what they write
    // are modem commands, which the call would carry to the peer as text.
    void rest_for_call();
    // Whoever ended the call, nothing is left to hang up; the readiness
    // check that follows gives the keypad, Dial and Redial back.
    void call_over();
    // Dial is enabled while a number waits and the keypad may add to it.
    void follow_dial_number();

private:
    EventLoop& loop_;
    const FileLocations& files_;
    MainForm& form_;
    SharedState& state_;
    CallEventHub& events_;
    SerialControl& comm_;
    CommHandler& comm_handler_;
};

} // namespace quillon
