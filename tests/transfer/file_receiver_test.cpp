// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"
#include "transfer/transfer_frames.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon {
namespace {

using testing::ConnectedProgram;

struct Receiver : ConnectedProgram {
    // The frames in front of the data, with the save dialog answered.
    void announce(const std::string& length, const std::string& name, const std::string& form) {
        dialogs.save_answers.push_back(dir.file("saved"));
        EXPECT_EQ(peer_frame(""), "^%1694%^");
        EXPECT_EQ(peer_frame(length), "^%1694%^");
        EXPECT_EQ(peer_frame(name), "^%1694%^");
        EXPECT_EQ(peer_frame(form), "^%1694%^");
    }
    bool spool_exists() { return dir.exists("vlorn.cmp"); }
};

TEST(FileReceiver, AnExistingDestinationIsReplaced) {
    Receiver f;
    f.dir.write("saved", std::string(100, '#'));
    f.announce("13", "a", "text");
    EXPECT_EQ(f.dir.read("saved"), std::string(100, '#')) << "untouched until the file is complete";
    f.peer_sends("abc^%847%^def^%847%^");
    EXPECT_EQ(f.dir.read("saved"), "abc^%847%^def") << "two markers in one arrival: the payload ends at the last";
}

TEST(FileReceiver, PeerNamesNeverLeaveTheChosenFolder) {
    EXPECT_EQ(suggested_save_name("../../etc/passwd"), "passwd");
    EXPECT_EQ(suggested_save_name("C:\\Windows\\win.ini"), "win.ini");
    EXPECT_EQ(suggested_save_name(".."), "received.bin");
    EXPECT_EQ(suggested_save_name("dir/."), "received.bin");
    EXPECT_EQ(suggested_save_name(""), "received.bin");
    EXPECT_EQ(suggested_save_name("photo.bmp"), "photo.bmp");

    Receiver f;
    f.announce("1", "../../.bashrc", "text");
    EXPECT_TRUE(f.dialogs.shown[0].text.ends_with("/bashrc")) << "a dot-file name is suggested without its dot";
}

// A destination that cannot take the file is refused at the dialog, with
// the reason, before any of the file is accepted.
TEST(FileReceiver, UnusableDestinationsAreRefusedAtTheSaveDialog) {
    Receiver f;
    std::filesystem::create_directory(f.dir.file("folder"));
    const std::vector<std::pair<std::string, std::string>> refused{
        {"/dev/null", "it is a device or another special file, not a file"},
        {f.dir.file("folder"), "it is a folder"},
        {f.dir.file("no/such/dir/x"), "No such file or directory"},
    };
    for (const auto& [path, why] : refused) f.dialogs.save_answers.push_back(path);
    f.peer_frame("");
    f.peer_frame("10");
    EXPECT_EQ(f.peer_frame("x"), "") << "cancelled after the refusals: nothing requested";
    std::vector<std::string> expected;
    for (const auto& [path, why] : refused)
        expected.push_back("The file cannot be saved as " + path + ": " + why + ". Please choose another name.");
    EXPECT_EQ(f.dialogs.messages(), expected);
    EXPECT_EQ(f.p().state.recv_block, 1);
}

TEST(FileReceiver, APeerWithoutMarkersCannotGrowTheBuffers) {
    Receiver f;
    f.announce("1000", "x", "binary");
    std::string flood(64 * 1024, 'A');
    std::size_t largest = 0;
    for (int i = 0; i < 64; ++i) {
        f.line().arrive(flood);
        f.run_for(0.01);
        largest = std::max({largest, f.p().state.line_buffer.size(), f.p().state.rx_buffer.size()});
    }
    EXPECT_LE(largest, 2 * flood.size()) << "four megabytes sent, a bounded part kept";
    EXPECT_FALSE(f.ended);
    f.peer_sends("41FF^%847%^");
    EXPECT_TRUE(f.take_written().starts_with("^%1694%^")) << "the next frame is still taken";
    EXPECT_TRUE(f.w().txtreceived.text().starts_with("Dropped ")) << "the user is told";
}

} // namespace
} // namespace quillon
