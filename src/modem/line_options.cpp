// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/line_options.h"

#include "base/dialogs.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "base/switches.h"
#include "modem/serial_control.h"

#include <string>

namespace quillon {

void LineOptions::load_settings() {
    comm_.set_hardware_flow(read_switch(files_.settings_file(), "RTSCTS", true));
    comm_.set_ignore_modem_lines(read_switch(files_.settings_file(), "IGNOREMODEMLINES", false));
    form_.mnurtscts.set_checked(comm_.hardware_flow());
    form_.mnuignorelines.set_checked(comm_.ignore_modem_lines());
}

void LineOptions::mnurtscts_Click() {
    bool on = !comm_.hardware_flow();
    bool applied = comm_.set_hardware_flow(on);
    form_.mnurtscts.set_checked(on);
    store_switch(files_.settings_file(), dialogs_, "RTSCTS", on);
    if (!applied)
        not_yet(on ? "Hardware flow control (RTS/CTS) is used, where the device has it,"
                   : "Hardware flow control (RTS/CTS) is left off");
}

void LineOptions::mnuignorelines_Click() {
    bool on = !comm_.ignore_modem_lines();
    comm_.set_ignore_modem_lines(on);
    form_.mnuignorelines.set_checked(on);
    store_switch(files_.settings_file(), dialogs_, "IGNOREMODEMLINES", on);
    // The carrier of a call under way was never read from the modem's words.
    not_yet(on ? "The modem lines (DSR, DCD) are ignored" : "The modem lines (DSR, DCD) are heeded");
}

void LineOptions::not_yet(const char* what) {
    dialogs_.message(
        std::string(what) +
            " from the next opening of the port (choosing the port again under Port Selection opens it anew).",
        Icon::information);
}

} // namespace quillon
