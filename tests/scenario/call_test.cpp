// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/test_line.h"
#include "support/temp_dir.h"
#include "support/text_history.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace quillon {
namespace {

using testing::TwoPrograms;

TEST(Call, DialAnswerChatAndHangUp) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem ready....");
    t.run_for(6);
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem ready...") << "the readiness check after the first tick";
    EXPECT_TRUE(t.a.w().Cmddialn[5].enabled());

    testing::TextHistory shown_a(t.a.w().txtreceived), shown_b(t.b.w().txtreceived);
    t.a.dial("5551002");
    EXPECT_EQ(t.a.w().txtreceived.text(), "Dialling...5551002");
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 30));
    EXPECT_TRUE(shown_b.showed("Connection established...\r\nCONNECT 56000\r\n"));
    EXPECT_TRUE(shown_a.showed("Connection established...AT&D2\r\r\nOK\r\nATE0\r\r\nOK\r\n\r\nCONNECT 56000\r\n"))
        << "the caller's buffer still holds the start-up replies";
    EXPECT_EQ(t.a.w().txtreceived.text(), "");

    t.a.w().txtsend.user_edit("Hello, B!\r\nSecond line", 0);
    t.a.w().cmdsend.click();
    EXPECT_EQ(t.a.w().txtsend.text(), "");
    ASSERT_TRUE(t.run_until([&] { return t.b.w().txtreceived.text() == "Hello, B!\r\nSecond line"; }, 5));
    t.chat(t.b, "Hi A");
    ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "Hi A"; }, 5));
    t.chat(t.b, " again");
    ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "Hi A again"; }, 5))
        << "the whole conversation stays on show";

    // Both sides, each message with its time, in a window of its own.
    using Side = CallTracker::ChatDirection;
    const auto calls = t.a.p().conversation.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].heading.starts_with("Call with 5551002, "));
    ASSERT_EQ(calls[0].messages.size(), 2u);
    EXPECT_EQ(calls[0].messages[0].side, Side::sent);
    EXPECT_EQ(calls[0].messages[0].text, "Hello, B!\r\nSecond line");
    EXPECT_EQ(calls[0].messages[1].side, Side::received);
    EXPECT_EQ(calls[0].messages[1].text, "Hi A again");
    EXPECT_TRUE(calls[0].messages[1].time.starts_with("10:0"));
    t.a.w().mnuconversation.choose();
    EXPECT_TRUE(t.a.p().frmconversation.visible());
    EXPECT_EQ(t.a.p().frmconversation.txtconversation.text(), t.a.p().conversation.text());
    EXPECT_EQ(t.a.w().txtreceived.text(), "Hi A again") << "the output box is left alone";

    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_FALSE(t.a.modem.in_call());
    EXPECT_FALSE(t.b.modem.in_call());
    EXPECT_FALSE(t.a.f.ended);
    EXPECT_FALSE(t.b.f.ended);
    // The call buttons follow its end on both sides; only the caller has a
    // number to redial.
    for (testing::Station* s : {&t.a, &t.b}) {
        SCOPED_TRACE(s->number);
        EXPECT_EQ(s->p().status.call_text(), "Idle");
        EXPECT_FALSE(s->w().cmdcan.enabled()) << "nothing left to hang up";
        EXPECT_FALSE(s->w().cmddial.enabled());
        EXPECT_TRUE(s->w().Cmddialn[0].enabled());
        EXPECT_EQ(s->w().cmdre.enabled(), s == &t.a);
    }

    // A second call works, this time by redial, and is kept after the first.
    t.a.w().cmdre.click();
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 60));
    t.chat(t.a, "again");
    t.chat(t.b, "Hi\r\nthere");
    ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "Hi\r\nthere"; }, 5));
    // The first call's text outlives the line buffer that held it.
    const auto both = t.a.p().conversation.calls();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].messages[1].text, "Hi A again");
    ASSERT_EQ(both[1].messages.size(), 3u);
    EXPECT_EQ(both[1].messages[2].text, "there");
    // The window shows the whole each time, so it follows at most once a second.
    const unsigned long shown = t.a.p().frmconversation.txtconversation.revision();
    for (int i = 0; i < 10; ++i) {
        t.b.w().txtsend.user_edit("!", 0);
        t.b.w().cmdsend.click();
        t.run_for(0.1);
    }
    EXPECT_LE(t.a.p().frmconversation.txtconversation.revision() - shown, 2u);
    t.run_for(1);
    EXPECT_TRUE(t.a.p().frmconversation.txtconversation.text().ends_with(" Other side: there!!!!!!!!!!\r\n"));
}

TEST(Call, BusyNoDialToneAndNoAnswer) {
    struct Row {
        std::function<void(sim::Exchange&)> fault;
        std::string said;
        double within, not_before;
    };
    const std::vector<Row> rows{
        {[](sim::Exchange& e) { e.set_busy("5551002", true); }, "Line BUSY...", 10, 0},
        {[](sim::Exchange& e) { e.set_unplugged("5551001", true); }, "No dial tone....Aborting..", 10, 0},
        {[](sim::Exchange& e) { e.set_answering("5551002", false); }, "NO carrier...Aborting...", 60, 50},
    };
    for (const Row& row : rows) {
        TwoPrograms t;
        ASSERT_TRUE(t.start());
        row.fault(t.exchange);
        t.a.dial("5551002");
        ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == row.said; }, row.within)) << row.said;
        EXPECT_GE(t.time.now(), row.not_before) << "the modem waits S7 seconds";
    }
}

TEST(Call, ModemSwitchedOffMidCall) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.call());
    testing::TextHistory shown_a(t.a.w().txtreceived), shown_b(t.b.w().txtreceived);
    t.exchange.set_power("5551001", false);
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 12));
    EXPECT_TRUE(shown_a.showed(" You're disconnected.."));
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem not ready...");
    EXPECT_FALSE(t.a.w().Cmddialn[1].enabled());
    EXPECT_TRUE(shown_b.showed(" You're disconnected.."));
    EXPECT_EQ(t.b.w().txtreceived.text(), "Modem ready...");

    // Back on, the modem has forgotten its settings: the program sets it up
    // as at start-up before the keypad is back, so nothing is echoed and
    // dropping DTR hangs up.
    t.exchange.set_power("5551001", true);
    t.run_for(11);
    EXPECT_TRUE(t.a.w().Cmddialn[1].enabled());
    EXPECT_TRUE(t.a.to_modem.ends_with("AT&D2\rATE0\r"));
    testing::TextHistory shown_again(t.a.w().txtreceived);
    ASSERT_TRUE(t.call());
    EXPECT_TRUE(shown_again.showed("Connection established...AT&D2\r\r\nOK\r\nATE0\r\r\nOK\r\n\r\nCONNECT 56000\r\n"));
    // The step counters the dropped call left behind do not grey Send now.
    t.a.offer_file("photo.bmp", "after the drop", "binary");
    t.chat(t.b, "go ahead");
    ASSERT_TRUE(t.a.w().cmdsend.enabled());
    ASSERT_TRUE(t.send("after the drop", "binary", 120));
    EXPECT_EQ(t.received(), "after the drop");
    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_FALSE(t.a.modem.in_call());
}

// Someone alone with one window calls the test line: it answers, sends the
// chat back, and says each file's size and SHA-256, whatever the form.
TEST(CallScenario, TheTestLineEchoesChatAndTellsEachFilesChecksum) {
    TwoPrograms t;
    testing::TempDir folder;
    VirtualEventLoop line_loop(t.time);
    sim::TestLine test_line(line_loop, t.exchange, "5550000", folder.path());
    ASSERT_TRUE(t.start());
    t.a.dial("5550000");
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 1; }, 60));
    auto a_shows = [&](const std::string& text) {
        return t.run_until([&] { return t.a.w().txtreceived.text().find(text) != std::string::npos; }, 60);
    };
    t.chat(t.a, "Hello, test line");
    EXPECT_TRUE(a_shows("Hello, test line"));

    std::string every_byte;
    for (int i = 0; i < 8 * 256; ++i) every_byte += static_cast<char>(i);
    for (auto [form, content, told] : {std::tuple{"binary", every_byte, "2048 bytes, SHA-256 "
                                       "10fc3c51a152e90e5b90319b601d92ccf37290ef53c35ff92507687d8a911a08"},
                                       std::tuple{"text", std::string("The quick brown fox\r\njumps over the lazy dog\r\n"),
                                       "46 bytes, SHA-256 5db66d621879c832b9a5b886cd9b473debbd31cbe34d5e4ad990db964f34fa83"}}) {
        SCOPED_TRACE(form);
        t.a.offer_file("sample.dat", content, form);
        t.a.w().cmdsend.click();
        EXPECT_TRUE(a_shows(std::string("sample.dat: ") + told));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("in"))) << "the test line keeps nothing";
}

} // namespace
} // namespace quillon
