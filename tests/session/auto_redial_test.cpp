// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/two_programs.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ProgramFixture;
using testing::TwoPrograms;

struct Dial {
    double at;
    std::string command;
};

// a with redial ticked, calling b's busy line.
struct BusyLine : TwoPrograms {
    BusyLine() {
        a.on_write = [this](std::string_view bytes) {
            if (bytes.starts_with("ATD")) dials.push_back({time.now(), std::string(bytes)});
        };
        EXPECT_TRUE(start());
        a.w().mnuautoredial.choose();
        exchange.set_busy(b.number, true);
        a.dial(b.number);
    }
    const RedialCountdown& countdown() { return a.p().auto_redial.countdown(); }
    bool counting_down_to(int attempt) { return countdown().active && countdown().attempt == attempt; }

    std::vector<Dial> dials;
};

TEST(AutoRedial, BusyTwiceThenFreeConnectsOnTheThirdDial) {
    BusyLine t;
    EXPECT_TRUE(t.a.w().mnuautoredial.checked());
    EXPECT_NE(t.a.f.dir.read("quillon.ini").find("AUTOREDIAL=on"), std::string::npos);
    ASSERT_TRUE(t.run_until([&] { return t.counting_down_to(1); }, 10));
    // The status line counts down; the output box keeps the modem's word.
    EXPECT_EQ(t.a.p().status.call_text(), "Redial 1 of 10 to 5551002 in 30 s...");
    EXPECT_EQ(t.a.w().txtreceived.text(), "Line BUSY...");
    t.run_for(10.5);
    EXPECT_EQ(t.a.p().status.call_text(), "Redial 1 of 10 to 5551002 in 20 s...");

    ASSERT_TRUE(t.run_until([&] { return t.counting_down_to(2); }, 60));
    t.exchange.set_busy(t.b.number, false);
    ASSERT_TRUE(t.run_until([&] { return t.both_connected(); }, 60));
    t.run_for(120);
    EXPECT_TRUE(t.both_connected());
    EXPECT_FALSE(t.countdown().active);

    ASSERT_EQ(t.dials.size(), 3u);
    for (const Dial& d : t.dials)
        EXPECT_EQ(d.command, "ATDT5551002\r") << "what the dial button writes";
    for (std::size_t i = 1; i < t.dials.size(); ++i) {
        double gap = t.dials[i].at - t.dials[i - 1].at;
        EXPECT_GE(gap, 30.0) << "the wait after the busy signal";
        EXPECT_LE(gap, 33.0) << "the busy signal comes within the dial time";
    }
}

TEST(AutoRedial, CancelOrAKeypadPressEndsTheCountdown) {
    BusyLine t;
    ASSERT_TRUE(t.run_until([&] { return t.counting_down_to(1); }, 10));
    t.run_for(28.5); // Cancel's two-second hang-up must not let the redial through
    t.a.w().cmdcan.click();
    EXPECT_FALSE(t.countdown().active);
    t.run_for(100);
    EXPECT_EQ(t.dials.size(), 1u);
    EXPECT_EQ(t.a.p().status.call_text().find("Redial"), std::string::npos);

    t.a.w().cmdre.click(); // the redial button counts as the user's dial
    ASSERT_TRUE(t.run_until([&] { return t.counting_down_to(1); }, 10));
    t.a.w().Cmddialn[4].click();
    EXPECT_FALSE(t.countdown().active);
    t.run_for(100);
    EXPECT_EQ(t.dials.size(), 2u);
    EXPECT_EQ(t.a.s().dial_number, "4") << "the keypad builds the user's next number";
}

struct FakeModem : ProgramFixture {
    explicit FakeModem(const std::string& settings) {
        EXPECT_TRUE(start_on_port1("PORTNO.=1\nDIALMODE=pulse\n" + settings));
    }
    void dial_and_hear(const std::string& reply) {
        dial("42");
        port(1).arrive(reply);
    }
    std::size_t dials() {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = port(1).written.find("ATDP42\r", at)) != std::string::npos; ++at)
            ++n;
        return n;
    }
};

TEST(AutoRedial, RedialsOnlyAFailedDialOfTheUsersAndOnlyAsOftenAsSet) {
    FakeModem f("AUTOREDIAL=on\nREDIALTRIES=2\nREDIALWAIT=5");
    EXPECT_TRUE(f.w().mnuautoredial.checked());
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(4.5);
    EXPECT_EQ(f.dials(), 1u);
    f.run_for(1);
    EXPECT_EQ(f.dials(), 2u);
    f.p().events.dial_failed(DialOutcome::no_answer);
    f.run_for(5.5);
    EXPECT_EQ(f.dials(), 3u);
    f.port(1).arrive("\r\nNO CARRIER\r\n");
    f.run_for(60);
    EXPECT_EQ(f.dials(), 3u) << "two redials allowed";

    f.dial_and_hear("\r\nNO DIALTONE\r\n");
    f.run_for(60);
    EXPECT_EQ(f.dials(), 4u) << "no line: nothing to redial";

    f.dial("42");
    f.w().cmdcan.click();
    f.port(1).arrive("\r\nNO CARRIER\r\n");
    f.run_for(60);
    EXPECT_EQ(f.dials(), 5u) << "the NO CARRIER of a hang-up is no failed dial";

    f.w().mnuautoredial.choose();
    EXPECT_FALSE(f.w().mnuautoredial.checked());
    EXPECT_NE(f.dir.read("quillon.ini").find("AUTOREDIAL=off"), std::string::npos);
    EXPECT_NE(f.dir.read("quillon.ini").find("REDIALWAIT=5"), std::string::npos);
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(60);
    EXPECT_EQ(f.dials(), 6u);
}

TEST(AutoRedial, SettingsOutsideTheirRangeFallBackToTheDefaults) {
    FakeModem f("AUTOREDIAL=ON\nREDIALTRIES=0\nREDIALWAIT=2.5");
    EXPECT_TRUE(f.w().mnuautoredial.checked());
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(0.5);
    EXPECT_EQ(f.p().auto_redial.countdown().tries, AutoRedial::default_tries);
    EXPECT_EQ(f.p().auto_redial.countdown().seconds_left, AutoRedial::default_wait_seconds);
    FakeModem off("");
    EXPECT_FALSE(off.w().mnuautoredial.checked());
}

} // namespace
} // namespace quillon
