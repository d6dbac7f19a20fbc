// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/text_history.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

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
    t.b.w().txtsend.user_edit("Hi A", 0);
    t.b.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "Hi A"; }, 5));
    t.b.w().txtsend.user_edit(" again", 0);
    t.b.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "Hi A again"; }, 5))
        << "the whole conversation stays on show";

    t.a.w().cmdcan.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_FALSE(t.a.modem.in_call());
    EXPECT_FALSE(t.b.modem.in_call());
    EXPECT_FALSE(t.a.f.ended);
    EXPECT_FALSE(t.b.f.ended);

    // A second call works, this time by redial.
    t.a.w().cmdre.click();
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 60));
}

TEST(Call, BusyNoDialToneAndNoAnswer) {
    {
        TwoPrograms t;
        ASSERT_TRUE(t.start());
        ASSERT_TRUE(t.dial_busy_line());
    }
    {
        TwoPrograms t;
        ASSERT_TRUE(t.start());
        t.exchange.set_unplugged("5551001", true);
        t.a.dial("5551002");
        ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "No dial tone....Aborting.."; }, 10));
    }
    {
        TwoPrograms t;
        ASSERT_TRUE(t.start());
        t.exchange.set_answering("5551002", false);
        t.a.dial("5551002");
        ASSERT_TRUE(t.run_until([&] { return t.a.w().txtreceived.text() == "NO carrier...Aborting..."; }, 60));
        EXPECT_GE(t.time.now(), 50.0) << "the modem waits S7 seconds";
    }
}

TEST(Call, CarrierDropEndsTheCallOnBothSides) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    ASSERT_TRUE(t.call());
    t.exchange.drop("5551002");
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 12));
    for (testing::Station* s : {&t.a, &t.b}) {
        EXPECT_FALSE(s->w().cmdsend.enabled());
        EXPECT_TRUE(s->w().Cmddialn[0].enabled()) << "the keypad is back for the next call";
    }
    ASSERT_TRUE(t.call()) << "and the next call works";
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

    // Back on, the modem has forgotten its settings; the program still
    // calls and is answered.
    t.exchange.set_power("5551001", true);
    t.run_for(6);
    EXPECT_TRUE(t.a.w().Cmddialn[1].enabled());
    ASSERT_TRUE(t.call());
}

TEST(Call, ModemSwitchedOffIsNotReadyAndAClosedPortIsNoPort) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    t.exchange.set_power("5551001", false);
    t.run_for(6);
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem not ready...");
    EXPECT_FALSE(t.a.w().Cmddialn[1].enabled());
    EXPECT_EQ(t.a.p().status.call_text(), "Modem not ready");
    EXPECT_FALSE(t.a.p().status.reading().dsr);
    t.exchange.set_power("5551001", true);
    t.run_for(6);
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem ready...");

    t.a.p().MSComm1.set_port_open(false);
    t.run_for(0.5);
    EXPECT_EQ(t.a.p().status.call_text(), "No port");
    EXPECT_EQ(t.a.p().status.port_text(), "No port");
    EXPECT_FALSE(t.a.p().status.reading().dtr);
}

} // namespace
} // namespace quillon
