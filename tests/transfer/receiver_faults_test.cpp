// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"
#include "support/partial_files.h"
#include "support/random_content.h"
#include "support/text_history.h"
#include "transfer/download_folder.h"
#include "transfer/transfer_frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace quillon {
namespace {

using testing::ConnectedProgram;
using Kind = testing::ScriptedDialogs::Kind;

// Sets an environment variable for the life of a test.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }
    const char* name_;
    std::optional<std::string> old_;
};

struct Receiver : ConnectedProgram {
    // Opening, length, name and form frames, each answered, saved as "saved".
    void announce(const std::string& length, const std::string& form, const std::string& name = "x") {
        dialogs.save_answers.push_back(dir.file("saved"));
        for (const std::string& payload : {std::string(), length, name, form})
            EXPECT_EQ(peer_frame(payload), "^%1694%^") << payload;
    }
};

// An existing file chosen as destination is replaced only by a complete
// reception; whatever ends a reception early leaves it byte for byte.
TEST(ReceiverFaults, AnAbandonedReceptionLeavesTheDestinationAsItWas) {
    const std::string original = testing::random_bytes(5000, 1);
    struct Row {
        const char* fault;
        std::function<void(Receiver&, const std::string& form)> act;
    };
    std::vector<Row> rows{
        {"carrier lost", [](Receiver& f, const std::string&) { f.lose_carrier(); }},
        {"payload beyond the announced length",
         [](Receiver& f, const std::string&) {
             EXPECT_EQ(f.peer_frame(std::string(4000, 'A')), "");
             EXPECT_EQ(f.dialogs.messages().back(),
                       "The other side sent more than the 4000 characters it announced. The file is damaged; "
                       "nothing was saved.");
         }},
    };
    for (const Row& row : rows) {
        for (const std::string form : {"text", "binary"}) {
            SCOPED_TRACE(std::string(row.fault) + " " + form);
            Receiver f;
            testing::TextHistory shown(f.w().txtreceived);
            f.dir.write("saved", original);
            f.announce("4000", form);
            f.peer_frame(std::string(2048, form == "text" ? 'x' : 'A'));
            row.act(f, form);
            f.run_for(0.1);
            EXPECT_TRUE(f.dir.read("saved") == original);
            EXPECT_EQ(testing::partial_files_in(f.dir.path()), 0);
            EXPECT_FALSE(f.dir.exists("vlorn.cmp"));
            EXPECT_TRUE(std::any_of(shown.texts.begin(), shown.texts.end(), [](const std::string& text) {
                return text.ends_with("Reception abandoned; nothing was saved.");
            }));
            EXPECT_EQ(f.p().state.current_mode, OperatingMode::chat);
            EXPECT_FALSE(f.dialogs.showed("Unexpected error while receiving! Cannot continue."));
        }
    }
}

// The save dialog opens in the download folder. The program's own files
// under any name, and destinations that cannot take the file, are refused
// there with the reason, before any of the file is accepted; cancelled, it
// asks for nothing more.
TEST(ReceiverFaults, TheSaveDialogRefusesOwnFilesAndUnusableDestinations) {
    Receiver f;
    std::filesystem::create_directory(f.dir.file("dl"));
    ScopedEnv downloads("XDG_DOWNLOAD_DIR", f.dir.file("dl"));
    const std::string settings = f.dir.read("quillon.ini");
    // Another name of an existing own file, and a name through a link of
    // one that is not there yet.
    std::filesystem::create_hard_link(f.p().files.settings_file(), f.dir.file("dl/hard.ini"));
    std::filesystem::create_directory_symlink(f.dir.path(), f.dir.file("dl/back"));
    std::filesystem::remove(f.p().files.spool_file());
    const std::string spool_name = std::filesystem::path(f.p().files.spool_file()).filename().string();
    std::vector<std::string> own{f.p().files.settings_file(),
                                 f.p().files.spool_file(),
                                 f.p().files.address_book(),
                                 std::filesystem::read_symlink("/proc/self/exe").string(),
                                 f.dir.file("dl/../quillon.ini"),
                                 f.dir.file("dl/hard.ini"),
                                 f.dir.file("dl/back/" + spool_name),
                                 f.p().session_log.folder() + "/2026-12-07.log"};
    const std::vector<std::pair<std::string, std::string>> unusable{
        {"/dev/null", "it is a device or another special file, not a file"},
        {f.dir.file("dl"), "it is a folder"},
        {f.dir.file("no/such/dir/x"), "No such file or directory"},
    };
    for (const auto& path : own) f.dialogs.save_answers.push_back(path);
    for (const auto& [path, why] : unusable) f.dialogs.save_answers.push_back(path);
    f.dialogs.save_answers.push_back(f.dir.file("dl/quillon.ini"));
    f.peer_frame("");
    f.peer_frame("1");
    EXPECT_EQ(f.peer_frame("quillon.ini"), "^%1694%^");
    EXPECT_EQ(f.dialogs.shown.size(), 2 * (own.size() + unusable.size()) + 1);
    for (const auto& box : f.dialogs.shown) {
        if (box.kind == Kind::save_file) EXPECT_EQ(box.text, f.dir.file("dl/quillon.ini"));
        else EXPECT_EQ(box.icon, Icon::stop);
    }
    EXPECT_EQ(f.dialogs.shown[1].text, f.p().files.settings_file() +
                                           " is one of Quillon's own files and cannot be replaced. Please choose "
                                           "another name.");
    for (std::size_t i = 0; i < unusable.size(); ++i)
        EXPECT_EQ(f.dialogs.messages().at(own.size() + i), "The file cannot be saved as " + unusable[i].first + ": " +
                                                               unusable[i].second + ". Please choose another name.");
    f.peer_frame("text");
    f.peer_frame("!");
    EXPECT_EQ(f.dir.read("quillon.ini"), settings);
    EXPECT_EQ(f.dir.read("dl/quillon.ini"), "!");

    f.peer_frame("");
    f.peer_frame("10");
    EXPECT_EQ(f.peer_frame("x"), "") << "cancelled: nothing requested";
    EXPECT_EQ(f.p().state.recv_block, 1);
}

// Peer names never leave the chosen folder; an existing file chosen there
// is replaced once the file is complete, and kept when the carrier goes
// under the report.
TEST(FileReceiver, PeerNamesNeverLeaveTheChosenFolderAndAFileIsReplacedWhole) {
    for (auto [peer, saved] : {std::pair{"../../etc/passwd", "passwd"}, {"C:\\Windows\\win.ini", "win.ini"},
                               {"..", "received.bin"}, {"dir/.", "received.bin"}, {"", "received.bin"},
                               {"photo.bmp", "photo.bmp"}})
        EXPECT_EQ(suggested_save_name(peer), saved) << peer;

    Receiver f;
    f.dir.write("saved", std::string(100, '#'));
    f.announce("13", "text", "../../.bashrc");
    EXPECT_TRUE(f.dialogs.shown[0].text.ends_with("/bashrc")) << "a dot-file name is suggested without its dot";
    EXPECT_EQ(f.dir.read("saved"), std::string(100, '#')) << "untouched until the file is complete";
    f.dialogs.on_show = [&](const auto& box) {
        if (box.text.starts_with("filename : ")) f.lose_carrier(); // while the report is read
    };
    f.peer_sends("abc^%847%^def^%847%^");
    EXPECT_EQ(f.dir.read("saved"), "abc^%847%^def") << "two markers in one arrival: the payload ends at the last";
    EXPECT_EQ(f.take_written(), "") << "neither notice nor request after the call went";
    EXPECT_TRUE(f.dialogs.messages().front().starts_with("filename : " + f.dir.file("saved") + "\r\nfilesize : 13"));
    EXPECT_FALSE(f.dialogs.showed("Unexpected error while receiving! Cannot continue."));
    EXPECT_EQ(f.p().state.current_mode, OperatingMode::chat);
}


TEST(FileReceiver, APeerWithoutMarkersCannotGrowTheBuffers) {
    Receiver f;
    f.announce("1000", "binary");
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

TEST(ReceiverFaults, TheDownloadFolderComesFromXdgThenDownloadsThenHome) {
    testing::TempDir home;
    ScopedEnv home_env("HOME", home.path());
    ScopedEnv config("XDG_CONFIG_HOME", home.file(".config"));
    ScopedEnv xdg("XDG_DOWNLOAD_DIR", "");
    EXPECT_EQ(download_folder(), home.path());
    std::filesystem::create_directory(home.file("Downloads"));
    EXPECT_EQ(download_folder(), home.file("Downloads"));
    std::filesystem::create_directories(home.file(".config"));
    std::filesystem::create_directories(home.file("Received"));
    home.write(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Received\"\n");
    EXPECT_EQ(download_folder(), home.file("Received"));
    ::setenv("XDG_DOWNLOAD_DIR", home.file("Downloads").c_str(), 1);
    EXPECT_EQ(download_folder(), home.file("Downloads"));
    EXPECT_EQ(in_download_folder("a.bin"), home.file("Downloads/a.bin"));
}

} // namespace
} // namespace quillon
