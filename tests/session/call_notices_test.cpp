// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_notices.h"
#include "sim/virtual_event_loop.h"
#include "support/fake_notifier.h"
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::FakeNotifier;

struct Notices {
    Notices() {
        notices.set_notifier(&desktop);
        hub.subscribe(calls);
        hub.subscribe(notices);
    }
    VirtualTime time;
    VirtualEventLoop loop{time};
    SessionClock clock{loop};
    CallTracker calls{clock};
    CallEventHub hub;
    CallNotices notices{calls};
    FakeNotifier desktop;
};

using Shown = std::vector<std::string>;

// Our own calls and the transfers' ends; incoming calls with and without
// the caller's number; nothing while the window is in front.
TEST(CallNotices, SayWhatHappensWhileTheUserIsAway) {
    Notices t;
    t.hub.dialling("5551002");
    t.hub.dial_failed(DialOutcome::busy);
    t.hub.ringing();
    t.hub.dialling("5551002");
    t.hub.connected();
    TransferInfo received{TransferDirection::receiving, "/home/ann/in/report.pdf", FileForm::binary, 1536};
    t.hub.transfer_ended(received, TransferOutcome::complete, "");
    t.hub.transfer_ended({TransferDirection::sending, "/tmp/x.bin", FileForm::text, 10}, TransferOutcome::complete, "");
    t.hub.transfer_ended({TransferDirection::sending, "/tmp/x.bin", FileForm::text, 10}, TransferOutcome::failed,
                         "carrier lost");
    t.hub.transfer_ended({TransferDirection::receiving, "", FileForm::text, 0}, TransferOutcome::failed,
                         "no space left");
    t.hub.transfer_ended(received, TransferOutcome::abandoned, "The call ended.");
    EXPECT_EQ(t.desktop.shown,
              (Shown{"Incoming call | ", "Call connected | With 5551002", "File received | report.pdf (1.5 KB)",
                     "Transfer failed | x.bin: carrier lost", "Transfer failed | no space left",
                     "Transfer failed | report.pdf: The call ended."}))
        << "a failed dial's number is not taken for a caller's";
    t.hub.call_ended(CallEnd::hung_up);
    t.desktop.shown.clear();

    t.hub.ringing();
    t.hub.ringing();
    t.hub.caller_id("5551001");
    t.hub.connected();
    t.hub.call_ended(CallEnd::carrier_lost);
    EXPECT_EQ(t.desktop.shown,
              (Shown{"Incoming call | ", "Incoming call | From 5551001 (replacing)", "Call connected | With 5551001"}))
        << "one notice for the repeated rings, its number filled in when it comes";

    t.desktop.shown.clear();
    t.hub.ringing();
    t.hub.caller_id("5551002");
    t.hub.caller_id("5551002");
    t.hub.call_ended(CallEnd::hung_up);
    t.hub.ringing();
    EXPECT_EQ(t.desktop.shown, (Shown{"Incoming call | ", "Incoming call | From 5551002 (replacing)", "Incoming call | "}))
        << "a number is told once and does not outlive its call";

    // Nothing while the window is in front, or without a notifier.
    t.desktop.shown.clear();
    t.desktop.active = true;
    t.hub.caller_id("5551001");
    t.hub.connected();
    t.notices.set_notifier(nullptr);
    t.desktop.active = false;
    t.hub.call_ended(CallEnd::hung_up);
    t.hub.ringing();
    EXPECT_TRUE(t.desktop.shown.empty());
}

TEST(CallNotices, SizesAsPeopleReadThem) {
    for (auto [size, text] : {std::pair{0LL, "0 bytes"}, {1LL, "1 byte"}, {1023LL, "1023 bytes"}, {1024LL, "1.0 KB"},
                              {5632LL * 1024, "5.5 MB"}, {3LL << 40, "3.0 TB"}})
        EXPECT_EQ(readable_size(size), text);
}

// Every caller number the program's feed gets.
struct CallerIds : CallEvents {
    void caller_id(const std::string& number) override { numbers.push_back(number); }
    std::vector<std::string> numbers;
};

TEST(CallerIdLines, TheModemsNumberLinesReachTheFeedInAnyPieces) {
    testing::ProgramFixture f;
    ASSERT_TRUE(f.start_on_port1());
    testing::FakeLine& line = f.port(1);
    CallerIds heard;
    f.p().events.subscribe(heard);
    line.arrive("NMBR = 5551000\r\n"); // no RING yet: not the modem's caller ID
    f.run_for(0.01);
    const std::string ring = "\r\nRING\r\n\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551001\r\nNAME = ANN\r\n";
    for (char c : ring) {
        line.arrive(std::string(1, c));
        f.run_for(0.01);
    }
    for (const std::string& lines :
         std::vector<std::string>{"NMBR=5551002\r", "  NMBR   =  5551003  \n", "NMBR = P\r\n", "NMBR = O\r\n",
                                  "NMBR =\r\n", "XNMBR = 1\r\n", "NMBR 5551009\r\n",
                                  "NMBR = " + std::string(200, '7') + "\r\n"}) {
        line.arrive(lines);
        f.run_for(0.01);
    }
    EXPECT_EQ(heard.numbers, (std::vector<std::string>{"5551001", "5551002", "5551003"}));

    // From the modem's CONNECT the peer's bytes arrive too: during the wait
    // that declares the call and in the call, nothing is a caller ID.
    line.lines.dcd = true;
    line.arrive("\r\nCONNECT 2400\r\nNMBR = 5551004\r\n");
    f.run_for(0.5);
    line.arrive("\r\nRING\r\nNMBR = 5551005\r\n");
    f.run_for(3);
    EXPECT_EQ(f.p().state.connected, 1);
    line.arrive("\r\nRING\r\nNMBR = 5551006\r\n");
    f.run_for(0.5);
    EXPECT_EQ(heard.numbers.size(), 3u);
}

} // namespace
} // namespace quillon
