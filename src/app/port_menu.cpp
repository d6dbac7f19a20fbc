// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_menu.h"

#include "app/program.h"
#include "base/text_number.h"

namespace quillon {

void PortMenu::tick_port(int n) {
    for (int i = 1; i <= 4; ++i) p_.frmmain.port_item(i).set_checked(i == n);
}

void PortMenu::mnuport_Click(int n) {
    SerialControl& comm = p_.MSComm1;
    try {
        comm.set_port_open(false);
        comm.set_comm_port(n);
        comm.set_port_open(true);
        p_.state.port_number = std::to_string(n);
        p_.state.port_number_from_file = false;
        tick_port(n);
    } catch (const std::exception& e) {
        p_.message(std::string(e.what()) + " !", Icon::stop);
        // Back to the port in use before; with none, or none that opens,
        // the line stays closed. Either way the ticks show what is open.
        auto previous = to_number(p_.state.port_number);
        try {
            if (!previous) throw LineError("no previous port");
            comm.set_comm_port(static_cast<int>(round_half_even(*previous)));
            comm.set_port_open(true);
        } catch (const std::exception&) {
            comm.set_port_open(false);
        }
        tick_port(comm.port_open() ? comm.comm_port() : 0);
    }
}

void PortMenu::mnudialpulse_Click() {
    p_.state.dial_mode = "pulse";
    p_.state.dial_mode_from_file = false;
    p_.frmmain.mnudialpulse.set_checked(true);
    p_.frmmain.mnudialtone.set_checked(false);
}

void PortMenu::mnudialtone_Click() {
    p_.state.dial_mode = "tone";
    p_.state.dial_mode_from_file = false;
    p_.frmmain.mnudialtone.set_checked(true);
    p_.frmmain.mnudialpulse.set_checked(false);
}

} // namespace quillon
