// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// A program on a scripted modem that dials 42 in pulse.
struct FakeModem : testing::ProgramFixture {
    explicit FakeModem(const std::string& settings) {
        EXPECT_TRUE(start_on_port1("PORTNO.=1\nDIALMODE=pulse\n" + settings));
    }
    void dial_and_hear(const std::string& reply) {
        dial("42");
        port(1).arrive(reply);
    }
    // How often the number was dialled, as the dial button writes it.
    std::size_t dials() {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = port(1).written.find("ATDP42\r", at)) != std::string::npos; ++at)
            ++n;
        return n;
    }
    // The dials counted after each wait in turn.
    std::vector<std::size_t> dials_after(std::initializer_list<double> waits) {
        std::vector<std::size_t> counts;
        for (double wait : waits) counts.push_back((run_for(wait), dials()));
        return counts;
    }
    const RedialCountdown& countdown() { return p().auto_redial.countdown(); }
};

// Each redial comes the whole wait after the busy signal. The status line
// counts down; the output box keeps the modem's word.
TEST(AutoRedial, BusyTwiceThenFreeConnectsOnTheThirdDial) {
    FakeModem f("");
    EXPECT_FALSE(f.w().mnuautoredial.checked());
    f.w().mnuautoredial.choose();
    EXPECT_TRUE(f.w().mnuautoredial.checked());
    EXPECT_NE(f.dir.read("quillon.ini").find("AUTOREDIAL=on"), std::string::npos);
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(0.5);
    EXPECT_EQ(f.p().status.call_text(), "Redial 1 of 10 to 42 in 30 s...");
    EXPECT_EQ(f.w().txtreceived.text(), "Line BUSY...");
    f.run_for(10);
    EXPECT_EQ(f.p().status.call_text(), "Redial 1 of 10 to 42 in 20 s...");
    EXPECT_EQ(f.dials_after({19, 1}), (std::vector<std::size_t>{1, 2}));
    f.port(1).arrive("\r\nBUSY\r\n");
    EXPECT_EQ(f.dials_after({29.5, 1}), (std::vector<std::size_t>{2, 3}));

    f.port(1).lines.dcd = true;
    f.port(1).arrive("\r\nCONNECT 56000\r\n");
    f.run_for(120);
    EXPECT_EQ(f.p().state.connected, 1);
    EXPECT_FALSE(f.countdown().active);
    EXPECT_EQ(f.dials(), 3u);
}

// Settings outside their range count as the defaults.
TEST(AutoRedial, CancelOrAKeypadPressEndsTheCountdown) {
    FakeModem f("AUTOREDIAL=ON\nREDIALTRIES=0\nREDIALWAIT=2.5");
    EXPECT_TRUE(f.w().mnuautoredial.checked());
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(0.5);
    EXPECT_EQ(f.countdown().tries, AutoRedial::default_tries);
    EXPECT_EQ(f.countdown().seconds_left, AutoRedial::default_wait_seconds);
    f.run_for(28); // Cancel's two-second hang-up must not let the redial through
    ASSERT_TRUE(f.countdown().active);
    f.w().cmdcan.click();
    EXPECT_FALSE(f.countdown().active);
    f.run_for(100);
    EXPECT_EQ(f.dials(), 1u);
    EXPECT_EQ(f.p().status.call_text().find("Redial"), std::string::npos);

    f.w().cmdre.click(); // the redial button counts as the user's dial
    f.port(1).arrive("\r\nBUSY\r\n");
    f.run_for(1);
    ASSERT_TRUE(f.countdown().active);
    f.w().Cmddialn[4].click();
    EXPECT_FALSE(f.countdown().active);
    f.run_for(100);
    EXPECT_EQ(f.port(1).written, "AT&D2\rATDP42\rATDL\r") << "the redial button's own dial, no redial after it";
    EXPECT_EQ(f.p().state.dial_number, "4") << "the keypad builds the user's next number";
    f.dial_and_hear("\r\nBUSY\r\n");
    f.run_for(1);
    EXPECT_TRUE(f.countdown().active) << "and the program ends while it counts down";
}

TEST(AutoRedial, RedialsOnlyAFailedDialOfTheUsersAndOnlyAsOftenAsSet) {
    FakeModem f("AUTOREDIAL=on\nREDIALTRIES=2\nREDIALWAIT=5");
    EXPECT_TRUE(f.w().mnuautoredial.checked());
    f.dial_and_hear("\r\nBUSY\r\n");
    EXPECT_EQ(f.dials_after({4.5, 1}), (std::vector<std::size_t>{1, 2}));
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

} // namespace
} // namespace quillon
