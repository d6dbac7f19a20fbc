#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::TwoPrograms;

struct Logged : TwoPrograms {
    Logged() {
        for (testing::Station *s : {&a, &b})
            s->f.create().session_clock.calendar = [] { return std::string("2026-12-07"); };
    }
    std::string log_of(testing::Station &s) { return s.f.dir.read("sessions/2026-12-07.log"); }
    void chat(testing::Station &from, const std::string &text) {
        from.w().txtsend.user_edit(text, 0);
        from.w().cmdsend.click();
        run_for(1);
    }
};

TEST(SessionLog, BothSidesWriteDownChatTransfersAndTheEndOfTheCall) {
    Logged t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.call());
    t.chat(t.a, "Hello, B!\r\nSecond line\r\n");
    t.chat(t.b, "Hi A");
    t.chat(t.b, " again\r\n");
    t.chat(t.a, "tab\there, bell\a, back\\slash, caf\xC3\xA9, bad \xFF byte");

    t.a.f.dir.write("notes.txt", "some text\r\n");
    t.a.f.dialogs.open_answers.push_back(t.a.f.dir.file("notes.txt"));
    t.b.f.dialogs.save_answers.push_back(t.b.f.dir.file("notes-copy.txt"));
    t.a.w().filemodetext.choose();
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().send_block == -50 && t.b.s().recv_block == 1; }, 60));
    t.run_for(1);

    t.b.f.dir.write("photo.bmp", testing::random_bytes(3000, 5));
    t.b.f.dialogs.open_answers.push_back(t.b.f.dir.file("photo.bmp"));
    t.a.f.dialogs.save_answers.push_back(t.a.f.dir.file("photo-copy.bmp"));
    t.a.f.dialogs.yes_no_answers.push_back(false);
    t.b.w().filemodebinary.choose();
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
                  "15:00:14 <\n"
                  "15:00:14 < NO CARRIER\n"
                  "15:00:15 call ended after 00:00:10: carrier lost\n"
                  "\n")
        << "no frame of either transfer is taken for chat";
}

} // namespace
} // namespace quillon
