// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::FakeLine;
using testing::ProgramFixture;

struct LineOptionCase {
    const char* name;
    std::string settings;
    MenuItem MainForm::*item;
    bool port_open;
    bool line_has_flow_control;
    bool ticked;            // once chosen
    const char* ini_line;   // once chosen
    const char* notice;     // empty: none
    // What the item does to the line, at once and once the port is opened anew.
    bool (*effect)(ProgramFixture&, FakeLine&);
    bool now, after_reopening;
};

bool rts_cts(ProgramFixture&, FakeLine& line) { return line.rts_cts; }
bool dsr_without_the_line(ProgramFixture& f, FakeLine& line) {
    line.lines = {false, false, false};
    return f.p().MSComm1.dsr_holding();
}

const char* const later_tail = " from the next opening of the port (choosing the port again under Port Selection "
                               "opens it anew).";

TEST(LineOptions, EachItemShowsTurnsOverKeepsAndAppliesItsSetting) {
    const std::string start = "PORTNO.=1\nDIALMODE=tone\n";
    const LineOptionCase cases[] = {
        {"flow control off on an open line that has it", start, &MainForm::mnurtscts, true, true, false,
         "RTSCTS=off", "", rts_cts, false, false},
        {"flow control on with the port closed", start + "RTSCTS=OFF\n", &MainForm::mnurtscts, false, true, true,
         "RTSCTS=on", "Hardware flow control (RTS/CTS) is used, where the device has it,", rts_cts, false, true},
        {"flow control off on a line without a say over it", start, &MainForm::mnurtscts, true, false, false,
         "RTSCTS=off", "Hardware flow control (RTS/CTS) is left off", rts_cts, false, false},
        {"modem lines ignored from the next opening", start, &MainForm::mnuignorelines, true, true, true,
         "IGNOREMODEMLINES=on", "The modem lines (DSR, DCD) are ignored", dsr_without_the_line, false, true},
        {"modem lines heeded again", start + "IGNOREMODEMLINES=on\n", &MainForm::mnuignorelines, true, true, false,
         "IGNOREMODEMLINES=off", "The modem lines (DSR, DCD) are heeded", dsr_without_the_line, true, false},
    };
    for (const LineOptionCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramFixture f;
        FakeLine& line = f.port(1);
        line.has_flow_control = c.line_has_flow_control;
        ASSERT_TRUE(f.start_on_port1(c.settings));
        MenuItem& item = f.w().*c.item;
        EXPECT_NE(item.checked(), c.ticked) << "the tick shows the setting read";
        if (!c.port_open) f.p().MSComm1.set_port_open(false);
        f.dialogs.shown.clear();

        ASSERT_TRUE(f.run([&] { item.choose(); }));
        EXPECT_EQ(item.checked(), c.ticked);
        EXPECT_NE(f.dir.read("quillon.ini").find(c.ini_line), std::string::npos);
        EXPECT_NE(f.dir.read("quillon.ini").find("DIALMODE=tone"), std::string::npos) << "the rest is kept";
        if (*c.notice) EXPECT_EQ(f.dialogs.messages(), std::vector<std::string>{c.notice + std::string(later_tail)});
        else EXPECT_TRUE(f.dialogs.shown.empty());
        if (c.port_open) {
            EXPECT_EQ(c.effect(f, line), c.now);
        }

        f.w().port_item(1).choose();
        ASSERT_TRUE(f.p().MSComm1.port_open());
        EXPECT_EQ(c.effect(f, line), c.after_reopening);
    }
}

} // namespace
} // namespace quillon
