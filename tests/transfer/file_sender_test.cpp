// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"
#include "support/random_content.h"
#include "transfer/transfer_frames.h"

#include <gtest/gtest.h>

#include <optional>

namespace quillon {
namespace {

using testing::ConnectedProgram;

struct Sender : ConnectedProgram {
    // Chooses the form and the file (written unless content is absent),
    // then presses Send.
    void send(const std::string& name, std::optional<std::string> content, MenuItem& form, bool press = true) {
        if (content) dir.write(name, *content);
        dialogs.open_answers.push_back(dir.file(name));
        form.choose();
        if (press) w().cmdsend.click();
    }
    // The receiver asks for the next frame; one second a step.
    std::string request() {
        run_for(0.5);
        peer_sends("^%1694%^");
        return take_written();
    }
};

TEST(FileSender, NoFormChosenStallsAfterTheFormFrame) {
    Sender f;
    f.send("a.txt", "abc", f.w().mnumodefile);
    EXPECT_EQ(f.take_written(), "^%847%^");
    std::vector<std::string> frames;
    for (int i = 0; i < 5; ++i) frames.push_back(f.request());
    // No form: the length is left as it was, the form word is empty.
    EXPECT_EQ(frames, (std::vector<std::string>{"0^%847%^", "a.txt^%847%^", "^%847%^", "", ""}));
}

// The file is missing at Send, or vanishes before it is opened.
TEST(FileSender, FailuresGoBackToChatModeAndKeepTheProgram) {
    for (bool vanishes : {false, true}) {
        SCOPED_TRACE(vanishes ? "vanished" : "missing");
        Sender f;
        MenuItem& form = vanishes ? f.w().filemodetext : f.w().filemodebinary;
        f.send("plain", vanishes ? std::optional<std::string>("xyz") : std::nullopt, form);
        f.take_written();
        if (vanishes) f.request();
        std::remove(f.dir.file("plain").c_str());
        EXPECT_EQ(f.request(), "");
        EXPECT_TRUE(f.dialogs.showed("Error in sending! Back to chat mode."));
        EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
        EXPECT_EQ(f.p().state.current_mode, OperatingMode::chat);
        EXPECT_TRUE(f.w().mnumodechat.checked());
        EXPECT_FALSE(form.checked());
        EXPECT_FALSE(f.ended);
    }
}

// The peer stops answering after each frame in turn: every 30 seconds the
// user hears of it, and the cancel button ends it.
TEST(FileSender, AStalledPeerIsToldOfEveryThirtySecondsAndCancelEndsIt) {
    const std::string notice = "No data from the other side for 30 s; the cancel button hangs up.";
    for (int requests = 0; requests <= 6; ++requests) {
        SCOPED_TRACE(requests);
        Sender f;
        f.send("a.bin", testing::random_bytes(3000, 1), f.w().filemodebinary);
        for (int i = 0; i < requests; ++i) f.request();
        f.run_for(29);
        EXPECT_NE(f.w().txtreceived.text(), notice) << "not before 30 s";
        f.run_for(2);
        EXPECT_EQ(f.w().txtreceived.text(), notice);
        f.run_for(30);
        EXPECT_EQ(f.w().txtreceived.text(), "No data from the other side for 60 s; the cancel button hangs up.");
        ASSERT_TRUE(f.w().cmdcan.enabled());
        f.line().dtr_history.clear();
        f.w().cmdcan.click();
        EXPECT_EQ(f.line().dtr_history, (std::vector<bool>{false, true}));
        f.lose_carrier();
        EXPECT_EQ(f.p().state.current_mode, OperatingMode::chat);
        f.run_for(60);
        EXPECT_EQ(f.w().txtreceived.text(), "Modem ready...") << "no notice once the call is over";
    }
}

// Requests no Send of ours asked for are the peer's: the chosen file stays
// here, and Send still starts from the opening frame.
TEST(FileSender, RequestsNobodyAskedForSendNothing) {
    Sender f;
    f.send("private.bin", "not for the peer", f.w().filemodebinary, false);
    f.take_written();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.request(), "");
    EXPECT_TRUE(f.w().cmdsend.enabled());
    f.w().cmdsend.click();
    EXPECT_EQ(f.take_written(), "^%847%^");
    EXPECT_EQ(f.request(), "32^%847%^");
    // Only the name goes, whatever the path looks like.
    for (const char* path : {"C:\\My Files\\photo.bmp", "/home/ann/photo.bmp", "dir/sub\\photo.bmp", "photo.bmp"})
        EXPECT_EQ(announced_name(path), "photo.bmp") << path;
}

} // namespace
} // namespace quillon
