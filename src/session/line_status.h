// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class AutoRedial;
class SerialControl;
struct SharedState;
struct StatusReading;

// What the status bar reads at each refresh: the port and its lines, the
// dial and operating modes, and an automatic redial's countdown.
class LineStatus {
public:
    LineStatus(SerialControl& comm, const SharedState& state, const AutoRedial& redial)
        : comm_(comm), state_(state), redial_(redial) {}

    // Fills in r, reusing the strings it already holds.
    void read(StatusReading& r);

private:
    SerialControl& comm_;
    const SharedState& state_;
    const AutoRedial& redial_;
    // The device of the open port, read from the port map once per opening.
    int device_port_ = 0;
    std::string device_;
};

} // namespace quillon
