#include "support/program_fixture.h"

#include "session/call_history.h"

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

// A stored number reaches the dial command from the book (Find, the grid)
// and the call history; only dialling characters may follow ATD.
TEST(Dialler, StoredNumbersCarryOnlyDiallingCharactersWhateverTheirPath) {
    const std::string refused = "Not dialled: Eve's number holds characters that are not for dialling.";
    const std::string refused_unnamed = "Not dialled: the number holds characters that are not for dialling.";
    struct Case {
        std::string number;
        std::string line; // empty: refused, nothing written
    };
    const std::vector<Case> cases = {
        {"555-1002", "ATDT555-1002\r"},
        {"+1 (555) 100.2/3", "ATDT1 (555) 10023\r"},
        {"*70,W5551002!@#pP", "ATDT*70,W5551002!@#pP\r"},
        {"5551002\r\nATS0=1&W;+++ATH", ""},
        {"5551002;", ""},
        {"5551002\n1", ""},
        {std::string("555\0" "1002", 8), ""},
        {"555 CALL NOW", ""},
        {"5551002\tx", ""},
        {"555\xC2\x85" "1002", ""},
    };
    for (const Case& c : cases) {
        for (const char* path : {"find", "grid", "history"}) {
            SCOPED_TRACE(std::string(path) + ": " + c.number);
            Ready f;
            AddressStore& book = *f.p().dataaddress;
            book.add("Ann", "5551001");
            if (std::string(path) == "history") {
                Call call;
                call.number = c.number;
                call.date = "2026-12-07";
                call.time = "10:00:00";
                call.result = CallResult::busy;
                f.p().call_history.call_over(call);
                f.w().mnucallhistory.choose();
                f.p().frmhistory.grdcalls.select_row(0);
                f.p().frmhistory.cmdhistorydial.click();
            } else {
                book.add("Eve", c.number);
                if (std::string(path) == "grid") {
                    book.list_rows();
                    f.w().DBGrid1.select_row(1);
                } else {
                    f.w().mnuaddressfind.choose();
                    f.w().txtsend.user_edit("Eve", 3);
                    f.w().on_txtsend_key_press(13);
                }
            }
            ASSERT_TRUE(f.w().cmddial.enabled());
            f.w().cmddial.click();
            EXPECT_EQ(f.port(1).written, c.line);
            if (c.line.empty()) {
                EXPECT_EQ(f.w().txtreceived.text(), std::string(path) == "history" ? refused_unnamed : refused);
                EXPECT_FALSE(f.w().cmddial.enabled());
                EXPECT_TRUE(f.p().state.dial_number.empty());
                f.key(4);
                f.w().cmddial.click();
                EXPECT_EQ(f.port(1).written, "ATDT4\r") << "the keypad dials as before";
            }
        }
    }
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
