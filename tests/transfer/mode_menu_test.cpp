// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct Menu : testing::ProgramFixture {
    Menu() {
        EXPECT_TRUE(start_on_port1());
    }
    SharedState& s() { return p().state; }
};

TEST(ModeMenu, FormsTicksAndTheFileToSend) {
    Menu f;
    EXPECT_TRUE(f.w().mnumodechat.checked());
    f.dialogs.open_answers.push_back("/tmp/a.bin");
    f.w().filemodebinary.choose();
    EXPECT_EQ(f.s().file_mode, "binary");
    EXPECT_EQ(f.s().current_mode, "file transfer");
    EXPECT_EQ(f.s().send_filename, "/tmp/a.bin");
    EXPECT_FALSE(f.w().mnumodechat.checked());
    EXPECT_TRUE(f.w().filemodebinary.checked());
    EXPECT_EQ(f.dialogs.shown.back().kind, testing::ScriptedDialogs::Kind::open_file);
    EXPECT_EQ(f.dialogs.shown.back().filter.substr(0, 20), "show all Files|*.*|Z");

    f.w().filemodetext.choose(); // cancelled
    EXPECT_EQ(f.s().file_mode, "text");
    EXPECT_TRUE(f.w().filemodetext.checked());
    EXPECT_FALSE(f.w().filemodebinary.checked());
    EXPECT_EQ(f.s().send_filename, "/tmp/a.bin") << "a cancelled dialog keeps the file";

    f.dialogs.open_answers.push_back("/tmp/b.txt");
    f.w().mnumodefile.choose();
    EXPECT_TRUE(f.w().mnumodefile.checked());
    EXPECT_EQ(f.s().send_filename, "/tmp/b.txt");
    EXPECT_EQ(f.s().file_mode, "text") << "the file item leaves the form";

    f.w().mnumodechat.choose();
    EXPECT_EQ(f.s().current_mode, "chat");
    EXPECT_TRUE(f.w().mnumodechat.checked());
    EXPECT_TRUE(f.w().mnumodefile.checked()) << "chat leaves the file item ticked";
    EXPECT_FALSE(f.w().filemodetext.checked());
    EXPECT_EQ(f.s().file_mode, "text");
    EXPECT_EQ(f.s().send_filename, "/tmp/b.txt");
    EXPECT_TRUE(f.port(1).written.find("^%") == std::string::npos) << "the menu never writes to the line";
}

} // namespace
} // namespace quillon
