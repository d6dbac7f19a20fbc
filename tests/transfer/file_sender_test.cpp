#include "support/connected_program.h"
#include "transfer/transfer_frames.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ConnectedProgram;
using testing::ScriptedDialogs;

std::string bytes_of_length(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 37 + 11) % 256);
    return s;
}

std::string hex(std::string_view bytes) {
    std::string out;
    append_hex(out, bytes);
    return out;
}

struct Sender : ConnectedProgram {
    // Chooses the form and the file, then presses Send.
    void send(const std::string& name, const std::string& content, MenuItem& form) {
        dir.write(name, content);
        dialogs.open_answers.push_back(dir.file(name));
        form.choose();
        w().cmdsend.click();
    }
    // Sends a 3000-byte file in binary form and answers its first frames.
    void send_and_answer(int requests) {
        send("a.bin", bytes_of_length(3000), w().filemodebinary);
        for (int i = 0; i < requests; ++i) request();
    }
    // The receiver asks for the next frame; one second a step.
    std::string request() {
        run_for(0.5);
        peer_sends("^%1694%^");
        return take_written();
    }
};

TEST(FileSender, BinaryFormFrameByFrame) {
    Sender f;
    std::string content = bytes_of_length(2500);
    f.send("photo.bmp", content, f.w().filemodebinary);
    EXPECT_EQ(f.take_written(), "^%847%^");
    EXPECT_FALSE(f.w().cmdsend.enabled());
    EXPECT_FALSE(f.w().mnumode.enabled());
    EXPECT_TRUE(f.w().cmdcan.enabled());
    EXPECT_FALSE(f.w().Cmddialn[3].enabled());

    EXPECT_EQ(f.request(), "5000^%847%^");
    EXPECT_TRUE(f.w().ProgressBar1.visible());
    EXPECT_EQ(f.w().ProgressBar1.max(), 5000);
    EXPECT_EQ(f.request(), "photo.bmp^%847%^") << "only the last component of the path";
    EXPECT_EQ(f.request(), "binary^%847%^");
    EXPECT_EQ(f.request(), hex(content.substr(0, 1024)) + "^%847%^");
    EXPECT_EQ(f.w().ProgressBar1.value(), 2048);
    EXPECT_EQ(f.request(), hex(content.substr(1024, 1024)) + "^%847%^");
    EXPECT_TRUE(f.w().filemodebinary.checked());
    EXPECT_EQ(f.request(), hex(content.substr(2048)) + "^%847%^");
    EXPECT_EQ(f.p().state.send_block, -1);
    EXPECT_FALSE(f.w().filemodebinary.checked());
    EXPECT_EQ(f.w().ProgressBar1.value(), 5000);
    EXPECT_TRUE(f.dialogs.messages().empty());

    EXPECT_EQ(f.request(), "") << "the finishing step writes nothing";
    EXPECT_EQ(f.p().state.send_block, -50);
    EXPECT_EQ(f.p().state.current_mode, "chat");
    EXPECT_TRUE(f.w().mnumodechat.checked());
    EXPECT_TRUE(f.w().mnumode.enabled());
    EXPECT_TRUE(f.w().cmdsend.enabled());
    EXPECT_FALSE(f.w().ProgressBar1.visible());
    ASSERT_EQ(f.dialogs.shown.size(), 3u); // open dialog, notice, report
    EXPECT_EQ(f.dialogs.shown[1].text, "Finished sending.Back to chat mode.");
    EXPECT_EQ(f.dialogs.shown[1].icon, Icon::information);
    EXPECT_EQ(f.dialogs.shown[2].icon, Icon::none);
    EXPECT_EQ(f.dialogs.shown[2].text, "filename : " + f.dir.file("photo.bmp") +
                                           "\r\nfilesize : 5000 bytes\r\ntime taken : 00 : 00 : 4\r\n"
                                           "average speed : 1250bps");

    EXPECT_EQ(f.request(), "") << "later requests are not taken in chat mode";
    EXPECT_EQ(f.p().state.send_block, -50);
}

// Each data frame in turn; text ends with its trailer, and a file of
// whole blocks ends with a full frame.
TEST(FileSender, EveryFrameOfEmptyOddAndWholeBlockFiles) {
    struct Row {
        const char* name;
        std::string content;
        bool binary;
        const char* length;
        std::vector<std::string> data_frames;
    };
    const std::string odd = bytes_of_length(1025), blocks = bytes_of_length(4096);
    const std::vector<Row> rows{
        {"empty", "", false, "0", {"^%847%^Finished Sending File."}},
        {"empty.bin", "", true, "0", {"^%847%^"}},
        {"odd.bin", odd, true, "2050", {hex(odd.substr(0, 1024)) + "^%847%^", hex(odd.substr(1024)) + "^%847%^"}},
        {"notes.txt",
         blocks,
         false,
         "4096",
         {blocks.substr(0, 2048) + "^%847%^", blocks.substr(2048) + "^%847%^Finished Sending File."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Sender f;
        MenuItem& form = row.binary ? f.w().filemodebinary : f.w().filemodetext;
        f.send(row.name, row.content, form);
        f.take_written();
        EXPECT_EQ(f.request(), std::string(row.length) + "^%847%^");
        EXPECT_EQ(f.request(), std::string(row.name) + "^%847%^");
        EXPECT_EQ(f.request(), std::string(row.binary ? "binary" : "text") + "^%847%^");
        for (const std::string& frame : row.data_frames) EXPECT_EQ(f.request(), frame);
        EXPECT_EQ(f.p().state.send_block, -1);
        EXPECT_EQ(f.w().ProgressBar1.value(), std::stoi(row.length)) << "the marker and trailer are not counted";
        EXPECT_FALSE(form.checked());
        f.request();
        EXPECT_EQ(f.p().state.send_block, -50);
    }
}

TEST(FileSender, NoFormChosenStallsAfterTheFormFrame) {
    Sender f;
    f.dir.write("a.txt", "abc");
    f.dialogs.open_answers.push_back(f.dir.file("a.txt"));
    f.w().mnumodefile.choose();
    f.w().cmdsend.click();
    EXPECT_EQ(f.take_written(), "^%847%^");
    EXPECT_EQ(f.request(), "0^%847%^") << "no form: the length is left as it was";
    EXPECT_EQ(f.request(), "a.txt^%847%^");
    EXPECT_EQ(f.request(), "^%847%^") << "an empty form word";
    EXPECT_EQ(f.request(), "");
    EXPECT_EQ(f.request(), "");
}

TEST(FileSender, FailuresGoBackToChatModeAndKeepTheProgram) {
    Sender f;
    f.dialogs.open_answers.push_back(f.dir.file("missing.bin"));
    f.w().filemodebinary.choose();
    f.w().cmdsend.click();
    f.take_written();
    EXPECT_EQ(f.request(), "");
    EXPECT_TRUE(f.dialogs.showed("Error in sending! Back to chat mode."));
    EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
    EXPECT_EQ(f.p().state.current_mode, "chat");
    EXPECT_TRUE(f.w().mnumodechat.checked());
    EXPECT_FALSE(f.w().filemodebinary.checked());
    EXPECT_FALSE(f.ended);

    Sender g;
    g.send("plain", "xyz", g.w().filemodetext);
    g.take_written();
    g.request();
    std::remove(g.dir.file("plain").c_str());
    EXPECT_EQ(g.request(), "") << "the file vanished before it was opened";
    EXPECT_TRUE(g.dialogs.showed("Error in sending! Back to chat mode."));
    EXPECT_FALSE(g.ended);
}

TEST(FileSender, CarrierLossAtAnyStepGoesBackToChat) {
    for (int requests = 0; requests <= 5; ++requests) {
        SCOPED_TRACE(requests);
        Sender f;
        f.send_and_answer(requests);
        f.lose_carrier();
        EXPECT_EQ(f.p().state.send_block, 1);
        EXPECT_EQ(f.p().state.recv_block, 1);
        EXPECT_EQ(f.p().state.current_mode, "chat");
        EXPECT_FALSE(f.w().ProgressBar1.visible());
        EXPECT_TRUE(f.dialogs.messages().empty()) << "nothing reported as sent";

        f.connect();
        f.dialogs.open_answers.push_back(f.dir.file("a.bin"));
        f.w().filemodetext.choose();
        f.w().cmdsend.click();
        EXPECT_EQ(f.take_written(), "^%847%^") << "a new transfer starts from the opening frame";
        EXPECT_EQ(f.request(), "3000^%847%^");
    }
}

// The peer stops answering after each frame in turn: every 30 seconds the
// user hears of it, and the cancel button ends it.
TEST(FileSender, AStalledPeerIsToldOfEveryThirtySecondsAndCancelEndsIt) {
    const std::string notice = "No data from the other side for 30 s; the cancel button hangs up.";
    for (int requests = 0; requests <= 6; ++requests) {
        SCOPED_TRACE(requests);
        Sender f;
        f.send_and_answer(requests);
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
        EXPECT_EQ(f.p().state.current_mode, "chat");
        f.run_for(60);
        EXPECT_EQ(f.w().txtreceived.text(), "Modem ready...") << "no notice once the call is over";
    }
}

TEST(FileSender, WindowsStylePathsAndPathsWithoutSeparators) {
    EXPECT_EQ(announced_name("C:\\My Files\\photo.bmp"), "photo.bmp");
    EXPECT_EQ(announced_name("/home/ann/photo.bmp"), "photo.bmp");
    EXPECT_EQ(announced_name("dir/sub\\x.txt"), "x.txt");
    EXPECT_EQ(announced_name("photo.bmp"), "photo.bmp");
}

} // namespace
} // namespace quillon
