// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/poll_event_loop.h"
#include "modem/rfc2217_line.h"
#include "support/child_process.h"
#include "support/line_recorder.h"
#include "support/temp_dir.h"
#include "support/two_modems.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ask_line;
using testing::ChildProcess;
using testing::wait_for;
using Received = testing::LineRecorder;

const std::string linesim = std::string(QUILLON_PROGRAM_DIR) + "/quillon-linesim";

TEST(Linesim, UsageAndErrors) {
    ChildProcess help({linesim, "--help"});
    EXPECT_NE(help.read_line(5).value_or("").find("Usage: quillon-linesim"), std::string::npos);
    EXPECT_EQ(help.wait(5), 0);
    ChildProcess version({linesim, "--version"});
    EXPECT_EQ(version.read_line(5).value_or("").rfind("quillon-linesim ", 0), 0u);
    EXPECT_EQ(version.wait(5), 0);
    for (std::vector<std::string> bad : {std::vector<std::string>{linesim},
                                         {linesim, "--modem", "55x@7001"},
                                         {linesim, "--modem", "1@0", "--rate", "fast"},
                                         {linesim, "--modem", "1@0", "--modem", "1@0"}}) {
        ChildProcess p(bad);
        EXPECT_EQ(p.wait(5), 2) << bad.back();
    }
}

// Two network ports call each other through the simulator, whose control
// channel answers one line each; a stopped simulator is one port error.
TEST(Linesim, TwoNetworkPortsCallEachOtherUnderTheControlChannel) {
    testing::TempDir dir;
    testing::TwoModems sim({"--transcript", dir.file("line.log")});
    const int control = sim.ports[2];
    EXPECT_EQ(ask_line(control, "list"), "5551001 idle; 5551002 idle");

    PollEventLoop loop;
    Rfc2217Line a(loop, "rfc2217://127.0.0.1:" + std::to_string(sim.ports[0]));
    Rfc2217Line b(loop, "rfc2217://localhost:" + std::to_string(sim.ports[1]));
    Received ra(a), rb(b);
    EXPECT_TRUE(a.modem_lines().dsr) << "the modem state is known once the port is open";
    EXPECT_FALSE(a.modem_lines().dcd);
    a.set_dtr(true);
    b.set_dtr(true);
    a.write("ATE0\r");
    ASSERT_TRUE(wait_for(loop, [&] { return ra.text.ends_with("\r\nOK\r\n"); }));
    ra.text.clear();
    a.write("ATDT5551002\r");
    ASSERT_TRUE(wait_for(loop, [&] { return rb.text.find("RING") != std::string::npos; }));
    b.write("ATA\r");
    ASSERT_TRUE(wait_for(loop, [&] { return ra.text.find("CONNECT 56000") != std::string::npos; }));
    ASSERT_TRUE(wait_for(loop, [&] { return a.modem_lines().dcd && b.modem_lines().dcd; }));
    ra.text.clear();
    b.write("\xFF\xFF back");
    ASSERT_TRUE(wait_for(loop, [&] { return ra.text == "\xFF\xFF back"; }));

    EXPECT_EQ(ask_line(control, "list"), "5551001 connected with 5551002; 5551002 connected with 5551001");
    EXPECT_EQ(ask_line(control, "drop 5551002"), "OK");
    ASSERT_TRUE(wait_for(loop, [&] { return ra.text.find("NO CARRIER") != std::string::npos; }));
    ASSERT_TRUE(wait_for(loop, [&] { return !a.modem_lines().dcd; }));
    EXPECT_EQ(ask_line(control, "busy 5551002 on"), "OK");
    EXPECT_EQ(ask_line(control, "noise 5551001 0.01"), "OK");
    EXPECT_EQ(ask_line(control, "list"), "5551001 idle noise 0.01; 5551002 idle busy");
    EXPECT_EQ(ask_line(control, "drop 5551001"), "ERROR no call on 5551001");
    EXPECT_EQ(ask_line(control, "power 5559999 off"), "ERROR no line 5559999");
    EXPECT_EQ(ask_line(control, "unplug 5551001 maybe"), "ERROR unplug takes on or off");
    EXPECT_EQ(ask_line(control, "noise 5551001 2"), "ERROR noise RATE is a number from 0 to 1");
    EXPECT_EQ(ask_line(control, "fly").rfind("ERROR unknown command fly", 0), 0u);

    std::string transcript = dir.read("line.log");
    EXPECT_NE(transcript.find("computer 5551001 > modem \"ATDT5551002\\x0D\""), std::string::npos);
    EXPECT_NE(transcript.find("line 5551002 > 5551001 \"\\xFF\\xFF back\""), std::string::npos);

    sim.sim.terminate();
    EXPECT_EQ(sim.sim.read_line(5), "quillon-linesim stopped");
    EXPECT_EQ(sim.sim.wait(5), 0);
    ASSERT_TRUE(wait_for(loop, [&] { return !ra.errors.empty(); }));
    loop.wait_for_events(0.1);
    EXPECT_EQ(ra.errors, std::vector<int>{comm_event::port_error}) << "reported once";
    EXPECT_FALSE(a.modem_lines().dsr);
    a.write("into nothing"); // dropped, no crash
}

} // namespace
} // namespace quillon
