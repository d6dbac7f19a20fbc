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

TEST(FileReceiver, TextFormReportsBeforeItsLastRequest) {
    Receiver f;
    std::string content(4500, 'x');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
    f.announce("4500", "notes.txt", "text");
    EXPECT_FALSE(f.spool_exists());
    f.p().MSComm1.set_rthreshold(7);
    EXPECT_EQ(f.peer_frame(content.substr(0, 2048)), "^%1694%^");
    EXPECT_EQ(f.p().MSComm1.rthreshold(), 7) << "2452 still to come";
    EXPECT_TRUE(f.p().Timer2.enabled());
    EXPECT_EQ(f.peer_frame(content.substr(2048, 2048)), "^%1694%^");
    EXPECT_EQ(f.p().MSComm1.rthreshold(), 1) << "less than a frame to come";

    f.dialogs.while_shown = [&] { EXPECT_EQ(f.line().written, "") << "nothing written under the report"; };
    f.peer_sends(content.substr(4096) + "^%847%^Finished Sending File.");
    EXPECT_EQ(f.take_written(), "Receiver::Received file.^%1694%^");
    f.dialogs.while_shown = nullptr;
    EXPECT_TRUE(f.dir.read("saved") == content) << "the trailer behind the last marker is dropped";
    EXPECT_FALSE(f.p().Timer2.enabled());
    EXPECT_EQ(f.p().state.file_mode, "text");
    EXPECT_EQ(f.p().state.recv_block, 1);
}

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

// A bad frame from the peer, or a cancelled save, gives up the reception
// and leaves a program that can chat and receive again.
TEST(FileReceiver, AbandonedReceptionsLeaveNothingBehind) {
    struct Row {
        const char* what;
        const char* destination; // the save dialog's answer; none: cancelled
        std::vector<std::string> frames;
        bool message;
        const char* last_transfer; // what the status bar keeps
    };
    const char* failed = "failed (Receiving failed)";
    const std::vector<Row> rows{
        {"length not a number", nullptr, {"", "12x"}, true, failed},
        {"length negative", nullptr, {"", "-5"}, true, failed},
        {"length with an exponent", nullptr, {"", "1e3"}, true, failed},
        {"length too big", nullptr, {"", "99999999999"}, true, failed},
        {"save cancelled", nullptr, {"", "10", "x.bin"}, false, "abandoned (The save dialog was cancelled)"},
        // Nothing to request when nothing can be stored.
        {"unknown form", "saved", {"", "4", "n", ""}, true, failed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Receiver f;
        if (row.destination) f.dialogs.save_answers.push_back(f.dir.file(row.destination));
        for (std::size_t i = 0; i + 1 < row.frames.size(); ++i) f.peer_frame(row.frames[i]);
        EXPECT_EQ(f.peer_frame(row.frames.back()), "") << "the reception is given up at its last frame";
        // The rest of a failed transfer, an opening among it, opens nothing.
        if (row.message)
            for (const char* rest : {"x.bin", "binary", "", "41"}) EXPECT_EQ(f.peer_frame(rest), "") << rest;
        EXPECT_FALSE(f.ended);
        std::size_t boxes = 0;
        for (const std::string& m : f.dialogs.messages())
            boxes += m == "Unexpected error while receiving! Cannot continue." ? 1 : 0;
        EXPECT_EQ(boxes, row.message ? 1u : 0u);
        EXPECT_TRUE(f.p().status.call_text().ends_with(std::string(" (last transfer: ") + row.last_transfer + ")"))
            << f.p().status.call_text();
        EXPECT_EQ(f.p().state.recv_block, 1);
        EXPECT_EQ(f.p().state.current_mode, "chat");
        EXPECT_TRUE(f.w().mnumodechat.checked());
        EXPECT_FALSE(f.w().ProgressBar1.visible());
        EXPECT_TRUE(f.w().cmdsend.enabled());
        EXPECT_FALSE(f.spool_exists());
        EXPECT_FALSE(f.dir.exists("saved"));

        f.dialogs.save_answers.push_back(f.dir.file("again"));
        f.run_for(5); // the peer's user sees the stall and sends again
        f.peer_frame("");
        f.peer_frame("2");
        f.peer_frame("b");
        f.peer_frame("text");
        EXPECT_EQ(f.peer_frame("ok"), "Receiver::Received file.^%1694%^") << "a new reception works";
        EXPECT_EQ(f.dir.read("again"), "ok");
    }
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
