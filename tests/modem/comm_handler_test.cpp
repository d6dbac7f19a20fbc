// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct InACall : testing::ConnectedProgram {
    void arrive(const std::string& bytes) {
        line().arrive(bytes);
        run_for(0.001);
    }
};

TEST(CommHandler, ChatIsShownWholeAndNeverCut) {
    InACall f;
    for (const char* piece : {"I am BUSY, ", "NO DIALling, No CARRots", "\r\nRING me"}) f.arrive(piece);
    std::string expected = "I am BUSY, NO DIALling, No CARRots\r\nRING me";
    EXPECT_EQ(f.w().txtreceived.text(), expected);
    EXPECT_EQ(f.p().state.line_buffer, expected);
    EXPECT_TRUE(f.take_written().empty());

    // A status put into the box by someone else is replaced by the whole text.
    f.w().txtreceived.set_text("Entry edited.");
    f.arrive("!");
    EXPECT_EQ(f.w().txtreceived.text(), expected + "!");

    // Text waiting for a marker is cut only during a transfer: chat, even
    // after a marker inside it, stays whole and on show.
    f.arrive("look: ^%847%^ ");
    std::string chat(1000, 'c');
    for (int i = 0; i < 100; ++i) f.arrive(chat);
    EXPECT_EQ(f.p().state.recv_block, 2);
    EXPECT_EQ(f.w().txtreceived.text(), std::string(100 * chat.size(), 'c'));
    // Out of a call the box keeps what it showed while line_buffer goes on.
    f.p().state.connected = 0;
    f.arrive("more");
    EXPECT_EQ(f.w().txtreceived.text() + "more", f.p().state.line_buffer);
}

TEST(CommHandler, WordsSentDuringTheConnectWaitAreTheCallsFirstChat) {
    testing::ProgramFixture f;
    ASSERT_TRUE(f.start_on_port1());
    f.port(1).lines.dcd = true;
    f.port(1).arrive("\r\nCONNECT 56000\r\n");
    f.run_for(1);
    f.port(1).arrive("Hello, quick");
    f.run_for(2);
    ASSERT_EQ(f.p().state.connected, 1);
    EXPECT_EQ(f.w().txtreceived.text(), "Hello, quick");
    f.port(1).arrive(" one\r\n");
    f.run_for(0.5);
    EXPECT_TRUE(f.p().conversation.text().ends_with(" Other side: Hello, quick one\r\n"));
}

} // namespace
} // namespace quillon
