// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Dialogs;
class EventLoop;
class LineSupervision;
class MainForm;
class SharedState;

// A device that went away under the program (an adapter pulled, a tty hung
// up): the port is already closed; the window shows the call as over and
// says how to get going again.
class LostDevice {
public:
    LostDevice(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state, LineSupervision& supervision)
        : loop_(loop), dialogs_(dialogs), form_(form), state_(state), supervision_(supervision) {}

    void device_lost(const std::string& device);

private:
    EventLoop& loop_;
    Dialogs& dialogs_;
    MainForm& form_;
    SharedState& state_;
    LineSupervision& supervision_;
};

} // namespace quillon
