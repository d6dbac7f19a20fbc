// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "base/media.h"
#include "modem/comm_handler.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"

#include <cstdint>
#include <string>

namespace quillon {

// Turns the hexadecimal spool of a binary-form reception back into the
// file the user chose, with Frmconvert showing the progress.
class Reconversion {
public:
    Reconversion(EventLoop& loop, Dialogs& dialogs, Media& media, const FileLocations& files, MainForm& form,
                 ConvertForm& convert_form, CallEvents& events, SerialControl& line, CommHandler& comm_handler,
                 Dialler& dialler);

    void reconvert_file(const std::string& destination);

    void Frmconvert_Load();
    void Frmconvert_Unload();

private:
    void go_offline();
    // Gives the number of digit pairs that were not hexadecimal.
    std::int64_t convert(const std::string& spool, const std::string& destination);
    void close_window();

    EventLoop& loop_;
    Dialogs& dialogs_;
    Media& media_;
    const FileLocations& files_;
    MainForm& form_;
    ConvertForm& convert_form_;
    CallEvents& events_;
    SerialControl& line_;
    CommHandler& comm_handler_;
    Dialler& dialler_;
};

} // namespace quillon
