// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/program_fixture.h"

#include <string>

namespace quillon::testing {

// One program core in a call on port 1, with the test playing the modem
// and the peer by hand.
class ConnectedProgram : public ProgramFixture {
public:
    ConnectedProgram();

    FakeLine& line() { return port(1); }
    // Bytes from the peer, handled as the handler's event would be.
    void peer_sends(const std::string& bytes);
    // Half a second on, one frame from the sending peer; what the program answered.
    std::string peer_frame(const std::string& payload);
    // What the program wrote since the last call.
    std::string take_written();
    // The modem reports a call, or the call's end, and the program notices.
    void connect();
    void lose_carrier();
};

} // namespace quillon::testing
