// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session_clock.h"
#include "support/program_fixture.h"
#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quillon {
namespace {

using testing::Station;
using testing::TwoPrograms;

struct Logged : TwoPrograms {
    Logged() {
        for (testing::Station* s : {&a, &b})
            s->f.create().session_clock.calendar = [] { return std::string("2026-12-07"); };
    }
    // The day's log, the program directory written as ~.
    std::string log_of(testing::Station& s) {
        std::string log = s.f.dir.read("sessions/2026-12-07.log");
        for (std::size_t at; (at = log.find(s.f.dir.path())) != std::string::npos;)
            log.replace(at, s.f.dir.path().size(), "~");
        return log;
    }
};

// Everything the status bar of one station showed, each change once.
struct StatusRecord {
    explicit StatusRecord(Station& s) : model(s.p().status), states{model.call_text()} {
        model.on_change = [this] {
            if (states.back() != model.call_text()) states.push_back(model.call_text());
            dtr.push_back(model.reading().dtr);
            ri.push_back(model.reading().ri);
        };
    }
    ~StatusRecord() { model.on_change = nullptr; }
    static bool showed(bool value, const std::vector<bool>& seen) {
        return std::find(seen.begin(), seen.end(), value) != seen.end();
    }
    StatusModel& model;
    std::vector<std::string> states;
    std::vector<bool> dtr, ri;
};

// Each stored call as "direction number result duration sent received".
std::vector<std::string> described(CallHistory& history) {
    std::vector<std::string> out;
    for (const CallRow& r : history.calls())
        out.push_back(r.direction + " " + r.number + " " + r.result + " " + std::to_string(r.duration) + " " +
                      std::to_string(r.bytes_sent) + " " + std::to_string(r.bytes_received));
    return out;
}

// A busy line, a call given up while it rang, then a call with chat and a
// file each way: what the status bar, the call history and the session
// log of each side made of it.
TEST(SessionRecords, BusyCancelledAndAWholeCallAsEachSideTellsIt) {
    Logged t;
    ASSERT_TRUE(t.start());
    t.run_for(2); // a reading every two seconds outside a call
    StatusModel& a = t.a.p().status;
    EXPECT_EQ(a.call_text() + "|" + a.port_text() + "|" + a.dial_mode_text() + "|" + a.mode_text() + "|" +
                  a.online_text(),
              "Idle|COMM1 sim:5551001|Tone dialling|Chat|");
    EXPECT_TRUE(a.reading().dtr && a.reading().dsr);
    EXPECT_FALSE(a.reading().dcd || a.reading().ri);

    StatusRecord shown_a(t.a), shown_b(t.b);
    ASSERT_TRUE(t.dial_busy_line());
    t.run_for(11);
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem ready...") << "the output box forgets the outcome";
    EXPECT_EQ(a.call_text(), "Idle (last dial: busy)") << "the status bar keeps it";

    t.exchange.set_answering("5551002", false);
    t.a.dial("5551002");
    t.run_for(5);
    t.a.w().cmdcan.click();
    t.run_for(10);
    t.exchange.set_answering("5551002", true);

    ASSERT_TRUE(t.call());
    EXPECT_TRUE(shown_b.showed(true, shown_b.ri)) << "the ring indicator while it rang";
    EXPECT_EQ(t.b.p().status.call_text(), "Connected incoming");
    EXPECT_TRUE(a.reading().dcd);
    EXPECT_EQ(a.online_text(), "00:00:00");
    const double connected_at = t.time.now();
    t.chat(t.a, "Hello, B!\r\nSecond line\r\n");
    t.chat(t.b, "Hi A");
    t.chat(t.b, " again\r\n");
    t.chat(t.a, "tab\there, bell\a, back\\slash, caf\xC3\xA9, bad \xFF byte");
    for (double step = 0; step < 65; step += 1.37) {
        t.run_for(1.37);
        // Refreshed as each second of the call begins: never behind.
        double online = t.time.now() - connected_at;
        std::string text = a.online_text();
        EXPECT_TRUE(text == clock_text(online) || text == clock_text(online - 0.5)) << text << " at " << online;
    }

    t.a.offer_file("notes.txt", "some text\r\n", "text");
    t.b.accept_file("notes-copy.txt");
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().send_block == -50 && t.b.s().recv_block == 1; }, 60));
    t.run_for(1);

    t.b.offer_file("photo.bmp", testing::random_bytes(3000, 5), "binary");
    t.a.accept_file("photo-copy.bmp");
    t.b.p().status.refresh();
    EXPECT_EQ(t.b.p().status.mode_text(), "File transfer, binary: " + t.b.f.dir.file("photo.bmp"))
        << "what Send will send";
    t.b.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.f.dialogs.showed("Conversion complete!"); }, 600));
    t.run_for(1);
    EXPECT_EQ(t.b.p().status.mode_text(), "Chat");
    t.chat(t.b, "Got it?\r\n");

    // a hangs up: DTR falls on a, the carrier goes on both sides.
    t.a.w().cmdcan.click();
    EXPECT_TRUE(shown_a.showed(false, shown_a.dtr));
    ASSERT_TRUE(t.run_until([&] { return t.b.s().connected == 0; }, 15));
    t.run_for(6);
    EXPECT_FALSE(t.b.p().status.reading().dcd);
    EXPECT_TRUE(a.reading().dtr) << "raised again after the hang-up";
    EXPECT_EQ(a.online_text(), "");

    EXPECT_EQ(shown_a.states, (std::vector<std::string>{
                                  "Idle", "Dialling 5551002", "Idle (last dial: busy)", "Dialling 5551002", "Idle",
                                  "Dialling 5551002", "Connected 5551002", "Sending notes.txt", "Connected 5551002",
                                  "Receiving photo-copy.bmp", "Connected 5551002", "Converting photo-copy.bmp",
                                  "Connected 5551002", "Idle"}));
    EXPECT_EQ(shown_b.states, (std::vector<std::string>{"Idle", "Ringing", "Connected incoming",
                                                        "Receiving notes-copy.txt", "Connected incoming",
                                                        "Sending photo.bmp", "Connected incoming", "Idle"}));
    // Connected from the CONNECT until the hang-up on a, until the carrier check on b.
    EXPECT_EQ(described(t.a.p().call_history),
              (std::vector<std::string>{"outgoing 5551002 connected 74 81 3021", "outgoing 5551002 cancelled 0 0 0",
                                        "outgoing 5551002 busy 0 0 0"}));
    EXPECT_EQ(described(t.b.p().call_history), (std::vector<std::string>{"incoming  connected 79 3021 156"}));

    EXPECT_EQ(t.log_of(t.a), "2026-12-07 10:00:02 outgoing call to 5551002\n"
                             "10:00:03 call ended after 00:00:00: busy\n"
                             "\n"
                             "2026-12-07 10:00:14 outgoing call to 5551002\n"
                             "10:00:19 call ended after 00:00:00: hung up\n"
                             "\n"
                             "2026-12-07 10:00:31 outgoing call to 5551002\n"
                             "10:00:35 connected\n"
                             "10:00:35 > Hello, B!\n"
                             "10:00:35 > Second line\n"
                             "10:00:36 < Hi A again\n"
                             "10:00:38 > tab\\there, bell\\x07, back\\\\slash, caf\xC3\xA9, bad \\xFF byte\n"
                             "10:01:45 sending started: ~/notes.txt, 11 bytes, text\n"
                             "10:01:45 sending ended: ~/notes.txt, 11 bytes, text, 00:00:00, complete\n"
                             "10:01:46 receiving started: ~/photo-copy.bmp, 3000 bytes, binary\n"
                             "10:01:48 receiving ended: ~/photo-copy.bmp, 3000 bytes, binary, 00:00:01, complete\n"
                             "10:01:49 < Got it?\n"
                             "10:01:50 call ended after 00:01:14: hung up\n"
                             "\n")
        << "received pieces join up to their CR LF; what the modem says after the call is no chat";
    EXPECT_EQ(t.log_of(t.b), "2026-12-07 15:00:32 incoming call\n"
                             "15:00:35 connected\n"
                             "15:00:35 < Hello, B!\n"
                             "15:00:35 < Second line\n"
                             "15:00:36 > Hi A\n"
                             "15:00:37 >  again\n"
                             "15:00:38 < tab\\there, bell\\x07, back\\\\slash, caf\xC3\xA9, bad \\xFF byte\n"
                             "15:01:45 receiving started: ~/notes-copy.txt, 11 bytes, text\n"
                             "15:01:45 receiving ended: ~/notes-copy.txt, 11 bytes, text, 00:00:00, complete\n"
                             "15:01:46 sending started: ~/photo.bmp, 3000 bytes, binary\n"
                             "15:01:48 sending ended: ~/photo.bmp, 3000 bytes, binary, 00:00:01, complete\n"
                             "15:01:48 < Receiver::Conversion in progress.Please wait!Receiver::Conversion complete.\n"
                             "15:01:49 > Got it?\n"
                             "15:01:55 call ended after 00:01:19: carrier lost\n"
                             "\n")
        << "no frame of either transfer is taken for chat, nor the modem's NO CARRIER before the carrier check";
    // The conversation window's text quotes the line buffers the transfers emptied.
    EXPECT_EQ(t.a.p().conversation.text(), "Call with 5551002, 2026-12-07 10:00:31\r\n"
                                           "10:00:35 You: Hello, B!\r\nSecond line\r\n\r\n"
                                           "10:00:36 Other side: Hi A again\r\n"
                                           "10:00:38 You: tab\there, bell\a, back\\slash, caf\xC3\xA9, bad \xFF byte\r\n"
                                           "10:01:49 Other side: Got it?\r\n");
    EXPECT_TRUE(t.b.p().conversation.text().ends_with(
        "bad \xFF byteReceiver::Conversion in progress.Please wait!Receiver::Conversion complete.\r\n"
        "15:01:49 You: Got it?\r\n\r\n"));
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
    line.lines.dcd = true;
    line.arrive("\r\nCONNECT 56000\r\n"); // its two seconds pass in here
    f.run_for(1);
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

// a cannot write its log: it says so once and its calls go on. b opens
// its log folder from the menu, made so there is something to open.
TEST(SessionLog, ALogThatCannotBeWrittenIsReportedOnceAndTheMenuOpensTheFolder) {
    Logged t;
    t.a.f.dir.write("sessions", "a file where the folder should be");
    ASSERT_TRUE(t.start());
    t.b.w().mnusessionlog.choose();
    EXPECT_EQ(t.b.f.media.opened_folders, std::vector<std::string>{t.b.f.dir.file("sessions")});
    EXPECT_TRUE(t.b.f.dir.exists("sessions"));
    EXPECT_TRUE(t.b.f.dialogs.messages().empty());
    t.b.f.media.has_opener = false;
    t.b.w().mnusessionlog.choose();
    EXPECT_EQ(t.b.f.dialogs.messages(),
              std::vector<std::string>{"No program to open folders with is installed (the package xdg-utils brings "
                                       "one). The session log is in " +
                                       t.b.f.dir.file("sessions") + "."});
    for (int call = 0; call < 2; ++call) {
        ASSERT_TRUE(t.call());
        t.chat(t.a, "still talking\r\n");
        t.a.w().cmdcan.click();
        ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    }
    std::vector<std::string> notices;
    for (const std::string& m : t.a.f.dialogs.messages())
        if (m.find("session log") != std::string::npos) notices.push_back(m);
    EXPECT_EQ(notices, std::vector<std::string>{"The session log cannot be written to " + t.a.f.dir.file("sessions") +
                                                "/2026-12-07.log. Calls go on without it."});
    EXPECT_NE(t.log_of(t.b).find("< still talking"), std::string::npos) << "the other side logs as usual";
}

} // namespace
} // namespace quillon
