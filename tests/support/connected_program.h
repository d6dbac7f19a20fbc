// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillon::testing {

// One program core in a call on port 1, with the test playing the modem
// and the peer by hand.
class ConnectedProgram : public ProgramFixture {
public:
    ConnectedProgram() {
        EXPECT_TRUE(start_on_port1());
        connect();
    }

    FakeLine& line() { return port(1); }
    // Bytes from the peer, handled as the handler's event would be.
    void peer_sends(const std::string& bytes) {
        line().arrive(bytes);
        run_for(0.5);
    }
    // Half a second on, one frame from the sending peer; what the program answered.
    std::string peer_frame(const std::string& payload) {
        run_for(0.5);
        peer_sends(payload + "^%847%^");
        return take_written();
    }
    // What the program wrote since the last call.
    std::string take_written() { return std::exchange(line().written, {}); }
    // The modem reports a call, or the call's end, and the program notices.
    void connect() {
        line().lines.dcd = true;
        line().arrive("\r\nCONNECT 56000\r\n");
        run_for(3);
        EXPECT_EQ(p().state.connected, 1);
        take_written();
    }
    // Long enough for the carrier check of the next tick.
    void lose_carrier() {
        line().lines.dcd = false;
        run_for(6);
    }
};

} // namespace quillon::testing
