// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fake_notifier.h"
#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

using testing::TwoPrograms;

struct Logged : TwoPrograms {
    // a's [Quillon] settings, when not the usual ones.
    explicit Logged(const std::string& a_settings = "") {
        if (!a_settings.empty())
            a.f.dir.write("quillon.ini", "[Quillon]\n" + a_settings + "\n[Ports]\nCOMM1=sim:5551001\n");
        for (testing::Station* s : {&a, &b})
            s->f.create().session_clock.calendar = [] { return std::string("2026-12-07"); };
    }
    std::string log_of(testing::Station& s) { return s.f.dir.read("sessions/2026-12-07.log"); }
};

TEST(SessionLog, BothSidesWriteDownChatTransfersAndTheEndOfTheCall) {
    Logged t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.call());
    t.chat(t.a, "Hello, B!\r\nSecond line\r\n");
    t.chat(t.b, "Hi A");
    t.chat(t.b, " again\r\n");
    t.chat(t.a, "tab\there, bell\a, back\\slash, caf\xC3\xA9, bad \xFF byte");

    t.a.offer_file("notes.txt", "some text\r\n", "text");
    t.b.accept_file("notes-copy.txt");
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().send_block == -50 && t.b.s().recv_block == 1; }, 60));
    t.run_for(1);

    t.b.offer_file("photo.bmp", testing::random_bytes(3000, 5), "binary");
    t.a.accept_file("photo-copy.bmp");
    t.b.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.f.dialogs.showed("Conversion complete!"); }, 600));
    t.run_for(1);
    t.chat(t.b, "Got it?\r\n");

    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.b.s().connected == 0; }, 15));
    t.run_for(6);

    std::string a_dir = t.a.f.dir.path(), b_dir = t.b.f.dir.path();
    EXPECT_EQ(t.log_of(t.a), "2026-12-07 10:00:00 outgoing call to 5551002\n"
                             "10:00:04 connected\n"
                             "10:00:04 > Hello, B!\n"
                             "10:00:04 > Second line\n"
                             "10:00:05 < Hi A again\n"
                             "10:00:07 > tab\\there, bell\\x07, back\\\\slash, caf\xC3\xA9, bad \\xFF byte\n"
                             "10:00:08 sending started: " +
                                 a_dir +
                                 "/notes.txt, 11 bytes, text\n"
                                 "10:00:08 sending ended: " +
                                 a_dir +
                                 "/notes.txt, 11 bytes, text, 00:00:00, complete\n"
                                 "10:00:10 receiving started: " +
                                 a_dir +
                                 "/photo-copy.bmp, 3000 bytes, binary\n"
                                 "10:00:11 receiving ended: " +
                                 a_dir +
                                 "/photo-copy.bmp, 3000 bytes, binary, 00:00:01, complete\n"
                                 "10:00:12 < Got it?\n"
                                 "10:00:13 call ended after 00:00:09: hung up\n"
                                 "\n")
        << "received pieces join up to their CR LF; what the modem says after the call is no chat";
    EXPECT_EQ(t.log_of(t.b),
              "2026-12-07 15:00:01 incoming call\n"
              "15:00:04 connected\n"
              "15:00:04 < Hello, B!\n"
              "15:00:04 < Second line\n"
              "15:00:05 > Hi A\n"
              "15:00:06 >  again\n"
              "15:00:07 < tab\\there, bell\\x07, back\\\\slash, caf\xC3\xA9, bad \\xFF byte\n"
              "15:00:08 receiving started: " +
                  b_dir +
                  "/notes-copy.txt, 11 bytes, text\n"
                  "15:00:08 receiving ended: " +
                  b_dir +
                  "/notes-copy.txt, 11 bytes, text, 00:00:00, complete\n"
                  "15:00:10 sending started: " +
                  b_dir +
                  "/photo.bmp, 3000 bytes, binary\n"
                  "15:00:11 sending ended: " +
                  b_dir +
                  "/photo.bmp, 3000 bytes, binary, 00:00:01, complete\n"
                  "15:00:11 < Receiver::Conversion in progress.Please wait!Receiver::Conversion complete.\n"
                  "15:00:12 > Got it?\n"
                  "15:00:15 call ended after 00:00:10: carrier lost\n"
                  "\n")
        << "no frame of either transfer is taken for chat, nor the modem's NO CARRIER before the carrier check";
}

// The peer sends caller-ID lines, markup, terminal controls and lines that
// read like ours, in chat and in the name a file is saved under.
TEST(SessionLog, NothingThePeerSendsMakesALineOfOursOrReachesTheTerminal) {
    Logged t;
    testing::FakeNotifier desktop;
    ASSERT_TRUE(t.start());
    t.b.p().notices.set_notifier(&desktop);
    ASSERT_TRUE(t.call());
    t.chat(t.a, "\r\nRING\r\nNMBR = <b>666</b> &amp;\r\n\x1B]0;owned\x07 \x9B \xC2\x9B" "2J \x7F\r\n"
                "15:00:09 call ended after 00:00:01: hung up\r\n");
    t.a.offer_file("notes.txt", "some text\r\n", "text");
    t.b.accept_file("in\x1B[2J\n15:00:09 connected <img src=x>.txt");
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().send_block == -50 && t.b.s().recv_block == 1; }, 60));
    t.run_for(1);
    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.b.s().connected == 0; }, 15));
    t.run_for(6);

    std::string saved = t.b.f.dir.path() + "/in\x1B[2J\n15:00:09 connected <img src=x>.txt";
    std::string logged = t.b.f.dir.path() + "/in\\x1B[2J\\n15:00:09 connected <img src=x>.txt";
    EXPECT_EQ(desktop.shown, (std::vector<std::string>{"Incoming call | ", "Call connected | ",
                                                       "File received | in\x1B[2J\n15:00:09 connected <img "
                                                       "src=x>.txt (11 bytes)"}))
        << "no caller from the peer; the desktop's notifier takes the body as text";
    EXPECT_EQ(t.log_of(t.b), "2026-12-07 15:00:01 incoming call\n"
                             "15:00:04 connected\n"
                             "15:00:04 <\n"
                             "15:00:04 < RING\n"
                             "15:00:04 < NMBR = <b>666</b> &amp;\n"
                             "15:00:04 < \\x1B]0;owned\\x07 \\x9B \\xC2\\x9B2J \\x7F\n"
                             "15:00:04 < 15:00:09 call ended after 00:00:01: hung up\n"
                             "15:00:05 receiving started: " +
                                 logged +
                                 ", 11 bytes, text\n"
                                 "15:00:05 receiving ended: " +
                                 logged +
                                 ", 11 bytes, text, 00:00:00, complete\n"
                                 "15:00:10 call ended after 00:00:05: carrier lost\n"
                                 "\n");
    EXPECT_EQ(t.b.f.dir.read(saved.substr(t.b.f.dir.path().size() + 1)), "some text\r\n");
}

TEST(SessionLog, ALogThatCannotBeWrittenIsReportedOnceAndCallsGoOn) {
    Logged t;
    t.a.f.dir.write("sessions", "a file where the folder should be");
    ASSERT_TRUE(t.start());
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

TEST(SessionLog, TheMenuItemOpensTheLogFolder) {
    Logged t;
    ASSERT_TRUE(t.start());
    t.a.w().mnusessionlog.choose();
    EXPECT_EQ(t.a.f.media.opened_folders, std::vector<std::string>{t.a.f.dir.file("sessions")});
    EXPECT_TRUE(t.a.f.dir.exists("sessions")) << "made, so there is something to open";
    EXPECT_TRUE(t.a.f.dialogs.messages().empty());

    t.a.f.media.has_opener = false;
    t.a.w().mnusessionlog.choose();
    EXPECT_EQ(t.a.f.dialogs.messages().back(), "No program to open folders with is installed (the package "
                                               "xdg-utils brings one). The session log is in " +
                                                   t.a.f.dir.file("sessions") + ".");
}

} // namespace
} // namespace quillon
