// SPDX-License-Identifier: GPL-3.0-or-later
// The protocol engines against each other in virtual time.
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
#include <random>
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

// Corrupts, drops and adds bytes now and then, both ways.
VirtualLine noisy_56k(unsigned seed) {
    VirtualLine line{7000, 40};
    auto rng = std::make_shared<std::mt19937>(seed);
    line.noise = [rng](std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            switch ((*rng)() % 30000) {
            case 0: bytes[i] ^= static_cast<char>(1 << ((*rng)() % 8)); break;
            case 1: bytes.erase(i, 1); break;
            case 2: bytes.insert(i, 1, static_cast<char>((*rng)())); break;
            default: break;
            }
        }
    };
    return line;
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

TEST(ZmodemEngines, NoiseOnA56kLineIsRepairedByRetransmission) {
    const std::string content = testing::random_bytes(200 * 1024, 3);
    for (unsigned seed : {1u, 2u}) {
        TempDir dir;
        FolderSink sink(dir.path());
        ZmodemSender sender({memory_file("noisy.bin", content)});
        ZmodemReceiver receiver(sink);
        auto result = pump(sender, receiver, noisy_56k(seed));
        ASSERT_EQ(receiver.state(), EngineState::succeeded) << sender.reason();
        EXPECT_EQ(sender.state(), EngineState::succeeded);
        EXPECT_EQ(dir.read("noisy.bin"), content);
        EXPECT_GT(result.bytes_a_to_b, content.size()); // it did have to resend
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
