// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ProgramFixture;

// A started program on port 1 with the modem on.
struct Started : ProgramFixture {
    Started() {
        EXPECT_TRUE(start_on_port1());
        port(1).written.clear();
    }
    void arrive(const std::string& bytes) {
        port(1).arrive(bytes);
        run_for(0.001);
    }
    void connect() {
        arrive("\r\nRING\r\n");
        arrive("\r\nCONNECT 56000\r\n");
        run_for(2.5);
        ASSERT_EQ(p().state.connected, 1);
        port(1).written.clear();
    }
};

// The answering side may hang up too; what the peer sends during the
// two-second wait is its chat, not the modem's.
TEST(CommHandler, TheWaitForTheCallStartsOnceAndTheAnsweringSideCanHangUp) {
    Started f;
    f.port(1).lines.dcd = true;
    EXPECT_FALSE(f.w().cmdcan.enabled());
    f.arrive("\r\nRING\r\n");
    f.port(1).written.clear();
    double start = f.time.now();
    for (double at : {0.5, 1.0, 1.5})
        f.time.schedule(start + at, [&] { f.port(1).arrive("\r\nCONNECT 56000\r\nRING\r\nBUSY"); });
    f.arrive("\r\nCONNECT 56000\r\n");
    EXPECT_LT(f.time.now() - start, 2.5) << "one wait, not one per CONNECT";
    EXPECT_EQ(f.p().state.connected, 1);
    EXPECT_EQ(f.port(1).written, "") << "no answer to a RING inside the call";
    EXPECT_TRUE(f.w().cmdcan.enabled());
    f.run_for(5);
    f.arrive("!");
    EXPECT_EQ(f.w().txtreceived.text(), f.p().state.line_buffer);
    EXPECT_TRUE(f.p().state.line_buffer.ends_with("BUSY!")) << "the peer's words are kept";
}

TEST(CommHandler, DiallingOutcomes) {
    struct Case {
        const char* reply;
        const char* status;
    };
    for (const Case& c : {Case{"\r\nBUSY\r\n", "Line BUSY..."}, Case{"\r\nNO DIALTONE\r\n", "No dial tone....Aborting.."},
                          Case{"\r\nNO CARRIER\r\n", "NO carrier...Aborting..."},
                          Case{"\r\nno carrier\r\n", "NO carrier...Aborting..."}}) {
        Started f;
        // Split over two arrivals: found once the last character is in.
        std::string reply = c.reply;
        f.arrive(reply.substr(0, 5));
        f.arrive(reply.substr(5));
        EXPECT_EQ(f.w().txtreceived.text(), c.status) << c.reply;
        EXPECT_TRUE(f.p().state.line_buffer.empty());
        EXPECT_FALSE(f.w().cmdsend.enabled());
        EXPECT_FALSE(f.w().mnumode.enabled());
    }
}

TEST(CommHandler, ChatIsShownWholeAndNeverCut) {
    Started f;
    f.connect();
    f.arrive("I am BUSY, ");
    f.arrive("NO DIALling, No CARRots");
    f.arrive("\r\nRING me");
    std::string expected = "I am BUSY, NO DIALling, No CARRots\r\nRING me";
    EXPECT_EQ(f.w().txtreceived.text(), expected);
    EXPECT_EQ(f.p().state.line_buffer, expected);
    EXPECT_TRUE(f.port(1).written.empty());

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
    EXPECT_EQ(f.p().state.line_buffer.size(), 100 * chat.size());
    EXPECT_EQ(f.w().txtreceived.text(), f.p().state.line_buffer);
}

} // namespace
} // namespace quillon
