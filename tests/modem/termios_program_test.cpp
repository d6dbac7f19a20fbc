// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/sqlite_address_store.h"
#include "base/poll_event_loop.h"
#include "app/program.h"
#include "modem/termios_line.h"
#include "support/program_fixture.h"
#include "support/pseudo_terminal.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quillon {
namespace {

using testing::TempDir;

// The whole program core on the poll loop, its port 1 a real TermiosLine on
// the slave of a pty.
// With settings, the start-up is left as it is; without, the call is
// taken as up.
struct PtyProgram : ::testing::Test {
    explicit PtyProgram(const std::string& settings = "") {
        dir.write("quillon.ini",
                  "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n" + settings + "[Ports]\nCOMM1=" + pty.name + "\n");
        program = std::make_unique<Program>(Platform{
            loop, dialogs, media,
            [this](const std::string& device) { return std::make_unique<TermiosLine>(loop, device, locks.path()); },
            [] { return make_sqlite_address_store(); }, FileLocations::portable(dir.path()), {}});
        program->main_window.Form_Load();
        EXPECT_TRUE(program->MSComm1.port_open());
        run_until([&] { return heard.find("AT&D2\r") != std::string::npos; });
        pty.send("OK\r\n");
        run_until([&] { return heard.find("ATE0\r") != std::string::npos; });
        if (!settings.empty()) return;
        // A pty has no carrier line, so the 5-second check would end any
        // call at once: the call is taken as up and the check stopped.
        program->Timer1.set_enabled(false);
        program->state.connected = 1;
    }
    ~PtyProgram() override { program.reset(); }
    bool run_until(const std::function<bool()>& done, double seconds = 20) {
        double end = loop.monotonic() + seconds;
        while (!done() && loop.monotonic() < end) {
            loop.wait_for_events(0.01);
            heard += pty.take();
        }
        return done();
    }

    testing::PseudoTerminal pty;
    std::string heard; // everything the program wrote to its modem
    TempDir dir, locks;
    PollEventLoop loop;
    testing::ScriptedDialogs dialogs;
    testing::FakeMedia media;
    std::unique_ptr<Program> program;
};

// A pty has neither DSR nor DCD, as a three-wire cable has not.
struct PtyWithoutModemLines : PtyProgram {
    PtyWithoutModemLines() : PtyProgram("IGNOREMODEMLINES=on\n") {}
};

TEST_F(PtyWithoutModemLines, DialsAndTheCallIsUpFromConnectUntilNoCarrier) {
    MainForm& f = program->frmmain;
    EXPECT_EQ(f.txtreceived.text().rfind("Modem ready...", 0), 0u) << "DSR is not asked";
    for (char d : std::string("5551002")) f.Cmddialn[d - '0'].click();
    ASSERT_TRUE(f.cmddial.enabled());
    std::size_t before = heard.size();
    f.cmddial.click();
    ASSERT_TRUE(run_until([&] { return heard.find("ATDT5551002\r", before) != std::string::npos; }));
    pty.send("\r\nCONNECT 56000\r\n");
    ASSERT_TRUE(run_until([&] { return program->state.connected == 1; }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 1) << "no DCD, and still up";
    pty.send("\r\nNO CARRIER\r\n");
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.cd_holding(); }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 0);
}

// An adapter pulled in a call: the port is let go of at once and the
// window shows the call as over; the device, back, opens again.
TEST_F(PtyProgram, ALostDeviceEndsTheCallAndOpensAgainWhenPicked) {
    MainForm& f = program->frmmain;
    pty.close_master();
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.port_open(); }));
    EXPECT_EQ(program->state.connected, 0);
    EXPECT_FALSE(f.cmdcan.enabled());
    EXPECT_FALSE(f.port_item(1).checked());
    EXPECT_TRUE(std::filesystem::is_empty(locks.path())) << "the lock is gone";
    ASSERT_TRUE(run_until([&] { return !dialogs.messages().empty(); }, 1));
    EXPECT_EQ(dialogs.messages().back(), std::string(pty.name) + " has gone (unplugged or hung up); the call is over. "
                                                              "Once it is back, pick its port again from the menu.");

    // The device comes back under the same name: a fresh pty's master
    // stands in, as the old slave is useless without its master.
    testing::PseudoTerminal fresh;
    dir.write("quillon.ini", std::string("[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=") + fresh.name + "\n");
    f.port_item(1).choose();
    EXPECT_TRUE(program->MSComm1.port_open());
    EXPECT_TRUE(f.port_item(1).checked());
    program.reset();
}

} // namespace
} // namespace quillon
