// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ProgramFixture;

struct Ready : ProgramFixture {
    explicit Ready(const char* mode = "tone") {
        write_ini(std::string("PORTNO.=1\nDIALMODE=") + mode);
        port(1);
        EXPECT_TRUE(start());
        port(1).written.clear();
    }
    MainForm& w() { return p().frmmain; }
    void key(int d) { w().Cmddialn[d].click(); }
};

TEST(Dialler, KeypadAndDialSendOneCommand) {
    Ready f("tone");
    EXPECT_FALSE(f.w().cmddial.enabled());
    f.key(4);
    EXPECT_TRUE(f.w().cmddial.enabled());
    f.key(2);
    EXPECT_EQ(f.w().txtreceived.text(), "42");
    f.w().cmddial.click();
    EXPECT_EQ(f.port(1).written, "ATDT42\r");
    EXPECT_EQ(f.p().state.last_number, "42");
    EXPECT_TRUE(f.p().state.dial_number.empty());
    EXPECT_EQ(f.w().txtreceived.text(), "Dialling...42");
    EXPECT_TRUE(f.w().cmdre.enabled());
    EXPECT_TRUE(f.w().cmdcan.enabled());
    EXPECT_FALSE(f.w().cmddial.enabled());

    f.port(1).written.clear();
    f.w().cmdre.click();
    EXPECT_EQ(f.port(1).written, "ATDL\r");
    EXPECT_EQ(f.w().txtreceived.text(), "redialling...42");
}

TEST(Dialler, LetterFollowsTheDialMode) {
    Ready f("pulse");
    f.key(1);
    f.w().cmddial.click();
    EXPECT_EQ(f.port(1).written, "ATDP1\r") << "pulse read with trailing spaces still gives P";

    f.port(1).written.clear();
    f.w().Cmddialtone.click();
    EXPECT_TRUE(f.w().mnudialpulse.checked()) << "the tone button leaves the ticks";
    f.key(7);
    f.w().cmddial.click();
    EXPECT_EQ(f.port(1).written, "ATDT7\r");

    f.port(1).written.clear();
    f.p().state.dial_mode = "morse";
    f.key(8);
    f.w().cmddial.click();
    EXPECT_EQ(f.port(1).written, "ATDT8\r") << "an unknown mode keeps the letter";
}

TEST(Dialler, CancelLowersDtrForTwoSecondsWhileEventsRun) {
    Ready f;
    f.key(5);
    f.w().cmddial.click();
    bool during = false;
    f.port(1).dtr_history.clear();
    f.port(1).arrive("\r\nNO CARRIER\r\n");
    ASSERT_TRUE(f.run([&] {
        f.w().cmdcan.click();
        during = true;
    }));
    EXPECT_TRUE(during);
    EXPECT_EQ(f.port(1).dtr_history, (std::vector<bool>{false, true}));
    EXPECT_GE(f.time.now(), 2.0);
    EXPECT_EQ(f.w().txtreceived.text(), "NO carrier...Aborting...") << "the arrival was handled inside the wait";
    EXPECT_FALSE(f.w().cmdcan.enabled());
    EXPECT_TRUE(f.w().cmdre.enabled());
    EXPECT_TRUE(f.w().mnuaddress.enabled());
}

TEST(PortMenu, ChangesThePortOrGoesBackToThePreviousOne) {
    ProgramFixture g;
    g.write_ini("PORTNO.=2\nDIALMODE=tone");
    g.port(2);
    g.port(3);
    ASSERT_TRUE(g.start());
    MainForm& w = g.p().frmmain;

    w.mnuport3.choose();
    EXPECT_EQ(g.p().MSComm1.comm_port(), 3);
    EXPECT_TRUE(g.port(3).open());
    EXPECT_FALSE(g.port(2).open());
    EXPECT_TRUE(w.mnuport3.checked());
    EXPECT_FALSE(w.mnuport2.checked());

    w.mnuport3.choose();
    EXPECT_TRUE(g.port(3).open()) << "the port in use is reopened";

    // A failed choice whose previous port is gone too: the line stays closed, nothing ticked.
    g.devices.unplug("fake:4");
    g.p().MSComm1.set_port_open(false);
    g.devices.unplug("fake:3");
    w.mnuport4.choose();
    EXPECT_FALSE(g.p().MSComm1.port_open());
    for (int n = 1; n <= 4; ++n) EXPECT_FALSE(w.port_item(n).checked());
    g.run_for(5);
    EXPECT_EQ(w.txtreceived.text(), "Modem not ready...");
}

} // namespace
} // namespace quillon
