// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/sqlite_address_store.h"
#include "base/poll_event_loop.h"
#include "app/program.h"
#include "modem/termios_line.h"
#include "support/program_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <pty.h>
#include <unistd.h>

namespace quillon {
namespace {

using testing::TempDir;

// The modem, played on a pty's master.
class WirePeer {
public:
    explicit WirePeer(int fd) : fd_(fd) { fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK); }
    void send(const std::string& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            ssize_t n = ::write(fd_, bytes.data() + at, bytes.size() - at);
            if (n > 0) at += static_cast<std::size_t>(n);
            else pump(); // the program has not read yet: the pty is full
        }
    }
    void pump() {
        char buffer[4096];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) heard.append(buffer, static_cast<std::size_t>(n));
    }
    std::string heard;

private:
    int fd_;
};

// The whole program core on the poll loop, its port 1 a real TermiosLine on
// the slave of a pty.
// With settings, the start-up is left as it is; without, the call is
// taken as up.
struct PtyProgram : ::testing::Test {
    explicit PtyProgram(const std::string& settings = "") {
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
        dir.write("quillon.ini",
                  "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n" + settings + "[Ports]\nCOMM1=" + std::string(name) + "\n");
        program = std::make_unique<Program>(Platform{
            loop, dialogs, media,
            [this](const std::string& device) { return std::make_unique<TermiosLine>(loop, device, locks.path()); },
            [] { return make_sqlite_address_store(); }, FileLocations::portable(dir.path()), {}});
        peer = std::make_unique<WirePeer>(master);
        program->main_window.Form_Load();
        EXPECT_TRUE(program->MSComm1.port_open());
        run_until([&] { return peer->heard.find("AT&D2\r") != std::string::npos; });
        peer->send("OK\r\n");
        run_until([&] { return peer->heard.find("ATE0\r") != std::string::npos; });
        if (!settings.empty()) return;
        // A pty has no carrier line, so the 5-second check would end any
        // call at once: the call is taken as up and the check stopped.
        program->Timer1.set_enabled(false);
        program->state.connected = 1;
    }
    ~PtyProgram() override {
        program.reset();
        ::close(slave);
        ::close(master);
    }
    bool run_until(const std::function<bool()>& done, double seconds = 20) {
        double end = loop.monotonic() + seconds;
        while (!done() && loop.monotonic() < end) {
            loop.wait_for_events(0.01);
            peer->pump();
        }
        return done();
    }

    int master = -1, slave = -1;
    char name[256];
    TempDir dir, locks;
    PollEventLoop loop;
    testing::ScriptedDialogs dialogs;
    testing::FakeMedia media;
    std::unique_ptr<Program> program;
    std::unique_ptr<WirePeer> peer;
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
    std::size_t before = peer->heard.size();
    f.cmddial.click();
    ASSERT_TRUE(run_until([&] { return peer->heard.find("ATDT5551002\r", before) != std::string::npos; }));
    peer->send("\r\nCONNECT 56000\r\n");
    ASSERT_TRUE(run_until([&] { return program->state.connected == 1; }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 1) << "no DCD, and still up";
    peer->send("\r\nNO CARRIER\r\n");
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.cd_holding(); }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 0);
}

// An adapter pulled in a call: the port is let go of at once and the
// window shows the call as over; the device, back, opens again.
TEST_F(PtyProgram, ALostDeviceEndsTheCallAndOpensAgainWhenPicked) {
    MainForm& f = program->frmmain;
    ::close(master);
    master = -1;
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.port_open(); }));
    EXPECT_EQ(program->state.connected, 0);
    EXPECT_FALSE(f.cmdcan.enabled());
    EXPECT_FALSE(f.port_item(1).checked());
    EXPECT_TRUE(std::filesystem::is_empty(locks.path())) << "the lock is gone";
    ASSERT_TRUE(run_until([&] { return !dialogs.messages().empty(); }, 1));
    EXPECT_EQ(dialogs.messages().back(), std::string(name) + " has gone (unplugged or hung up); the call is over. "
                                                              "Once it is back, pick its port again from the menu.");

    // The device comes back under the same name: a fresh pty's master
    // stands in, as the old slave is useless without its master.
    int fresh_master = -1, fresh_slave = -1;
    char fresh[256];
    ASSERT_EQ(openpty(&fresh_master, &fresh_slave, fresh, nullptr, nullptr), 0);
    dir.write("quillon.ini", std::string("[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=") + fresh + "\n");
    f.port_item(1).choose();
    EXPECT_TRUE(program->MSComm1.port_open());
    EXPECT_TRUE(f.port_item(1).checked());
    program.reset();
    ::close(fresh_slave);
    ::close(fresh_master);
}

} // namespace
} // namespace quillon
