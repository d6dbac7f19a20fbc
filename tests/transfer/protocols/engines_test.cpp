// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol engines against each other in virtual time, in every variant
// (the program picks only some). Noise, cancels and dropped calls go
// through both whole programs in tests/scenario/protocol_transfer_test.cpp.
#include "support/engine_pump.h"
#include "support/random_content.h"
#include "support/temp_dir.h"
#include "transfer/protocols/folder_files.h"
#include "transfer/protocols/zmodem_receiver.h"
#include "transfer/protocols/xmodem_receiver.h"
#include "transfer/protocols/xmodem_sender.h"
#include "transfer/protocols/zmodem_sender.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace quillon {
namespace {

using testing::memory_file;
using testing::pump;
using testing::TempDir;
using testing::VirtualLine;

std::vector<OutgoingFile> outgoing(const std::vector<testing::SampleFile>& files) {
    std::vector<OutgoingFile> out;
    for (auto& [name, content] : files) out.push_back(memory_file(name, content, 1'600'000'000));
    return out;
}

std::vector<std::string> folder_entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct Protocol {
    const char* name;
    std::function<std::unique_ptr<TransferEngine>(std::vector<OutgoingFile>)> sender;
    std::function<std::unique_ptr<TransferEngine>(FileSink&, const std::string& name)> receiver;
    bool batch; // names, sizes and times go with the files
};

const Protocol protocols[] = {
    {"ZMODEM", [](auto files) { return std::make_unique<ZmodemSender>(std::move(files)); },
     [](FileSink& sink, auto&) { return std::make_unique<ZmodemReceiver>(sink); }, true},
    {"ZMODEM with CRC-16", [](auto files) { return std::make_unique<ZmodemSender>(std::move(files)); },
     [](FileSink& sink, auto&) { return std::make_unique<ZmodemReceiver>(sink, false); }, true},
    {"YMODEM", [](auto files) { return std::make_unique<XmodemSender>(std::move(files), XmodemSender::Variant::ymodem); },
     [](FileSink& sink, auto&) { return std::make_unique<XmodemReceiver>(sink); }, true},
    {"XMODEM", [](auto files) { return std::make_unique<XmodemSender>(std::move(files), XmodemSender::Variant::xmodem); },
     [](FileSink& sink, auto& name) { return std::make_unique<XmodemReceiver>(sink, name); }, false},
    {"XMODEM-1K", [](auto files) { return std::make_unique<XmodemSender>(std::move(files), XmodemSender::Variant::xmodem_1k); },
     [](FileSink& sink, auto& name) { return std::make_unique<XmodemReceiver>(sink, name); }, false},
};

TEST(ProtocolEngines, EverySizeArrivesWholeWithItsTime) {
    for (const Protocol& protocol : protocols) {
        SCOPED_TRACE(protocol.name);
        TempDir dir;
        FolderSink sink(dir.path());
        auto files = testing::sample_files(7);
        // XMODEM sends one file a session and pads it to its last block.
        std::vector<decltype(files)> sessions;
        if (protocol.batch) sessions.push_back(files);
        else
            for (auto& file : files) sessions.push_back({file});
        for (auto& session : sessions) {
            auto sender = protocol.sender(outgoing(session));
            auto receiver = protocol.receiver(sink, session[0].name);
            pump(*sender, *receiver, VirtualLine{});
            ASSERT_EQ(sender->state(), EngineState::succeeded) << sender->reason();
            ASSERT_EQ(receiver->state(), EngineState::succeeded) << receiver->reason();
            EXPECT_EQ(receiver->progress().files_done, static_cast<int>(session.size()));
        }
        for (auto& [name, content] : files) {
            std::string expected = content;
            if (!protocol.batch) expected.resize((content.size() + 127) / 128 * 128, '\x1A');
            EXPECT_TRUE(dir.read(name) == expected) << name;
            struct stat st {};
            if (protocol.batch) {
                EXPECT_EQ(::stat(dir.file(name).c_str(), &st) == 0 ? st.st_mtime : 0, 1'600'000'000);
            }
        }
        EXPECT_EQ(folder_entries(dir).size(), files.size()); // no temporary file left
    }
}

TEST(FolderSink, NeverReplacesAFileNorLeavesTheFolder) {
    TempDir dir;
    dir.write("a.txt", "old");
    FolderSink sink(dir.path());
    for (const char* offered : {"a.txt", "../../a.txt", "a.txt"}) {
        auto file = sink.open({offered, 3, 0});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write("new"));
        ASSERT_TRUE(file->finish());
    }
    EXPECT_EQ(folder_entries(dir), (std::vector<std::string>{"a (1).txt", "a (2).txt", "a (3).txt", "a.txt"}));
    EXPECT_EQ(dir.read("a.txt"), "old");
    EXPECT_EQ(safe_file_name(".."), "received");
    EXPECT_EQ(safe_file_name("C:\\x\\.bashrc\n"), "bashrc");
}

} // namespace
} // namespace quillon
