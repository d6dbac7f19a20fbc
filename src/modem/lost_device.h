// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Program;

// A device that went away under the program (an adapter pulled, a tty hung
// up): the port is already closed; the window shows the call as over and
// says how to get going again.
class LostDevice {
public:
    explicit LostDevice(Program& program) : p_(program) {}

    void device_lost(const std::string& device);

private:
    Program& p_;
};

} // namespace quillon
