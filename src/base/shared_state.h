// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/modes.h"

#include <string>

namespace quillon {

// The values the handlers share: the application-wide variables and the
// main window's members.
struct SharedState {
    int modem_ready = 0;
    int connected = 0;
    OperatingMode current_mode = OperatingMode::none;
    FileForm file_mode = FileForm::none;
    std::string send_filename;
    std::string rx_buffer;
    int send_block = 0;
    int recv_block = 1;
    int start_time = 0;
    int end_time = 0;

    std::string line_buffer;
    std::string dial_number;
    // The address-book or history entry dial_number was taken from, to name
    // it when its number cannot be dialled; empty for the keypad.
    std::string dial_entry;
    std::string dial_mode;
    std::string last_number;
    std::string dial_letter;
    int modem_init_state = 0;
    std::string entry_name;
    std::string entry_phone;
    // The port in use: the text read from quillon.ini or typed at the port
    // prompt, or the number chosen in the menu.
    std::string port_number;
    // Set while port_number and dial_mode still hold what quillon.ini gave,
    // so they are written back as read.
    bool port_number_from_file = false;
    bool dial_mode_from_file = false;
};

} // namespace quillon
