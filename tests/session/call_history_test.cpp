// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"
#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

using testing::TwoPrograms;

// Each stored call as "direction number result duration sent received".
std::vector<std::string> described(CallHistory& history) {
    std::vector<std::string> out;
    for (const CallRow& r : history.calls())
        out.push_back(r.direction + " " + r.number + " " + r.result + " " + std::to_string(r.duration) + " " +
                      std::to_string(r.bytes_sent) + " " + std::to_string(r.bytes_received));
    return out;
}

TEST(CallHistory, BusyCancelledAndConnectedCallsNewestFirst) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.dial_busy_line());

    t.exchange.set_answering("5551002", false);
    t.a.dial("5551002");
    t.run_for(5);
    t.a.w().cmdcan.click();
    t.run_for(10);
    t.exchange.set_answering("5551002", true);

    ASSERT_TRUE(t.call());
    t.chat(t.a, "Hello");
    t.chat(t.b, "Hi!!");
    t.run_for(28);
    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.b.s().connected == 0; }, 12));
    t.run_for(6);

    // Connected from the CONNECT until the hang-up on a, until the carrier check on b.
    EXPECT_EQ(described(t.a.p().call_history),
              (std::vector<std::string>{"outgoing 5551002 connected 30 5 4", "outgoing 5551002 cancelled 0 0 0",
                                        "outgoing 5551002 busy 0 0 0"}));
    EXPECT_EQ(described(t.b.p().call_history), (std::vector<std::string>{"incoming  connected 32 4 5"}))
        << "b's modem said NO CARRIER into the call before the carrier check ended it: not the peer's";
    EXPECT_EQ(t.a.p().call_history.calls().front().start.substr(10), " 10:00:18");
}

TEST(CallHistory, NoAnswerFromTheModemIsStoredWithoutChangingTheOutputBox) {
    testing::ProgramFixture f;
    ASSERT_TRUE(f.start_on_port1());
    testing::FakeLine& line = f.port(1);
    line.arrive("\r\nOK\r\n");
    f.run_for(0.1);
    f.dial("7");
    line.arrive("\r\nNO ANSWER\r\n");
    f.run_for(0.1);
    EXPECT_EQ(f.w().txtreceived.text(), "Dialling...7");
    EXPECT_EQ(f.p().state.line_buffer, "\r\nOK\r\n\r\nNO ANSWER\r\n") << "left as it was";

    // The NO ANSWER still in the buffer does not end the next call.
    f.dial("8");
    line.arrive("\r\nCONNECT 56000\r\n");
    line.lines.dcd = true;
    f.run_for(3);
    ASSERT_EQ(f.p().state.connected, 1);
    line.lines.dcd = false;
    f.run_for(6);
    EXPECT_EQ(described(f.p().call_history),
              (std::vector<std::string>{"outgoing 8 connected 2 0 0", "outgoing 7 no answer 0 0 0"}));
}

TEST(CallHistory, GoingOfflineForTheConversionEndsTheCallWithTheFileCounted) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.call());
    t.a.offer_file("photo.bmp", testing::random_bytes(2000, 4), "binary");
    t.b.accept_file("copy.bmp", true);
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.b.f.dialogs.showed("Conversion complete!"); }, 600));
    t.run_for(6);
    // The sender is back in chat before the line drops: the modem's own
    // "\r\nNO CARRIER\r\n" shows in the box but is not the peer's chat.
    EXPECT_EQ(described(t.a.p().call_history), std::vector<std::string>{"outgoing 5551002 connected 5 2000 0"});
    EXPECT_EQ(described(t.b.p().call_history), std::vector<std::string>{"incoming  connected 1 0 2000"});
    EXPECT_EQ(t.b.p().status.call_text(), "Idle");
    EXPECT_EQ(t.b.to_modem.find("Receiver::Conversion complete."), std::string::npos)
        << "offline, nothing goes to the idle modem as a command line";
}

// An address book from before the history: one table of two fields.
void write_old_book(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Address (Name TEXT, Phoneno TEXT);"
                           "INSERT INTO Address VALUES ('Bob', '5551002'), ('Carol', '5551003');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

TEST(CallHistoryWindow, ListsNamesAndTheDialButtonPutsTheNumberUp) {
    TwoPrograms t;
    write_old_book(t.a.f.dir.file("addressbook.mdb"));
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.dial_busy_line());
    t.b.dial("5551001"); // a is called
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 60));
    t.b.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0; }, 15));

    Program& p = t.a.p();
    p.frmmain.mnucallhistory.choose();
    EXPECT_TRUE(p.frmhistory.visible());
    const auto& lines = p.history_window.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].number, "incoming");
    EXPECT_EQ(lines[0].name, "");
    EXPECT_EQ(lines[1].number, "5551002");
    EXPECT_EQ(lines[1].name, "Bob");
    EXPECT_EQ(lines[1].result, "busy");
    EXPECT_FALSE(p.frmhistory.cmdhistorydial.enabled());

    p.frmhistory.grdcalls.select_row(0);
    EXPECT_FALSE(p.frmhistory.cmdhistorydial.enabled()) << "an incoming call has no number to dial";
    p.frmhistory.grdcalls.select_row(1);
    ASSERT_TRUE(p.frmhistory.cmdhistorydial.enabled());
    p.frmmain.cmddial.set_enabled(false);
    p.frmhistory.cmdhistorydial.click();
    EXPECT_EQ(p.state.dial_number, "5551002");
    EXPECT_TRUE(p.frmmain.cmddial.enabled());
    p.frmmain.cmddial.click();
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 60)) << "and it dials";
    EXPECT_EQ(p.history_window.lines().size(), 2u) << "the open window is not yet told of a call still up";
    p.frmhistory.close();
    EXPECT_FALSE(p.frmhistory.visible());
}

} // namespace
} // namespace quillon
