// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"

#include <gtest/gtest.h>

namespace quillon::testing {

ConnectedProgram::ConnectedProgram() {
    EXPECT_TRUE(start_on_port1());
    connect();
}

void ConnectedProgram::connect() {
    line().lines.dcd = true;
    line().arrive("\r\nCONNECT 56000\r\n");
    run_for(3);
    EXPECT_EQ(p().state.connected, 1);
    take_written();
}

// Long enough for the carrier check of the next tick.
void ConnectedProgram::lose_carrier() {
    line().lines.dcd = false;
    run_for(6);
}

void ConnectedProgram::peer_sends(const std::string& bytes) {
    line().arrive(bytes);
    run_for(0.5);
}

std::string ConnectedProgram::peer_frame(const std::string& payload) {
    run_for(0.5);
    peer_sends(payload + "^%847%^");
    return take_written();
}

std::string ConnectedProgram::take_written() {
    std::string out;
    out.swap(line().written);
    return out;
}

} // namespace quillon::testing
