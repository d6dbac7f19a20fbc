// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/line_options.h"

#include "app/program.h"
#include "base/switches.h"

#include <string>

namespace quillon {

void LineOptions::load_settings() {
    SerialControl& comm = p_.MSComm1;
    comm.set_hardware_flow(read_switch(p_.files.settings_file(), "RTSCTS", true));
    comm.set_ignore_modem_lines(read_switch(p_.files.settings_file(), "IGNOREMODEMLINES", false));
    p_.frmmain.mnurtscts.set_checked(comm.hardware_flow());
    p_.frmmain.mnuignorelines.set_checked(comm.ignore_modem_lines());
}

void LineOptions::mnurtscts_Click() {
    SerialControl& comm = p_.MSComm1;
    bool on = !comm.hardware_flow();
    bool applied = comm.set_hardware_flow(on);
    p_.frmmain.mnurtscts.set_checked(on);
    store_switch(p_.files.settings_file(), p_.dialogs, "RTSCTS", on);
    if (!applied)
        not_yet(on ? "Hardware flow control (RTS/CTS) is used, where the device has it,"
                   : "Hardware flow control (RTS/CTS) is left off");
}

void LineOptions::mnuignorelines_Click() {
    SerialControl& comm = p_.MSComm1;
    bool on = !comm.ignore_modem_lines();
    comm.set_ignore_modem_lines(on);
    p_.frmmain.mnuignorelines.set_checked(on);
    store_switch(p_.files.settings_file(), p_.dialogs, "IGNOREMODEMLINES", on);
    // The carrier of a call under way was never read from the modem's words.
    not_yet(on ? "The modem lines (DSR, DCD) are ignored" : "The modem lines (DSR, DCD) are heeded");
}

void LineOptions::not_yet(const char* what) {
    p_.message(std::string(what) +
                   " from the next opening of the port (choosing the port again under Port Selection opens it anew).",
               Icon::information);
}

} // namespace quillon
