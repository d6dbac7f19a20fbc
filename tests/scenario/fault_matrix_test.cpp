// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <optional>

namespace quillon {
namespace {

using testing::random_bytes;
using testing::TwoPrograms;

// A disk that fills up: no file of the process may grow past the limit
// while this lives (writes beyond it fail as on a full disk).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &before);
        old_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = before;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, old_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    rlimit before{};
    void (*old_handler)(int) = SIG_DFL;
};

// One program calling the other, with a file to send from a to b.
struct Faulty : TwoPrograms {
    Faulty() {
        EXPECT_TRUE(start());
        b.p().events.subscribe(told);
        EXPECT_TRUE(call());
    }
    // a's side writes frames of its own making, a second apart.
    void peer_writes(const std::vector<std::string>& frames) {
        for (const auto& frame : frames) {
            a.p().MSComm1.output(frame);
            run_for(1);
        }
    }
    bool receiver_reported() {
        return b.f.dialogs.showed("Conversion complete!") || (b.s().recv_block == 1 && told.complete);
    }
    std::string content = random_bytes(20000, 3);
    // Whether b's receiver told a reception complete.
    struct Received : CallEvents {
        void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string&) override {
            complete = complete || (info.direction == TransferDirection::receiving && outcome == TransferOutcome::complete);
        }
        bool complete = false;
    } told;
    std::optional<FileSizeLimit> disk_full;
};

// Each row: a fault during a call or a transfer. Afterwards neither program
// has ended, a reported file is identical to the one sent (or the user was
// told of bad digits), no spool is left, and after a hang-up a new call
// carries a new file.
TEST(FaultMatrix, EveryFaultLeavesBothProgramsWorking) {
    struct Row {
        const char* fault;
        std::function<void(Faulty&)> inject;
        const char* receiver_told = nullptr;
    };
    const char* abandoned = "Unexpected error while receiving! Cannot continue.";
    const std::vector<Row> rows{
        {"carrier drop mid-transfer",
         [](Faulty& t) {
             t.start_sending(t.content, "binary");
             t.run_until([&] { return t.b.s().recv_block > 8; }, 60);
             t.exchange.drop("5551001");
         }},
        {"peer stops answering",
         [](Faulty& t) {
             t.start_sending(t.content, "text");
             t.run_until([&] { return t.b.s().recv_block > 6; }, 60);
             t.exchange.set_noise("5551002", 1.0);
         }},
        {"peer sends garbage",
         [](Faulty& t) { t.peer_writes({"^%847%^", "zz\x01\xFF^%847%^", "garbage^%847%^"}); }, abandoned},
        {"length beyond any file", [](Faulty& t) { t.peer_writes({"^%847%^", "99999999999^%847%^"}); }, abandoned},
        {"both press Send",
         [](Faulty& t) {
             t.b.f.dir.write("other.bin", "from b");
             t.b.f.dialogs.open_answers.push_back(t.b.f.dir.file("other.bin"));
             t.b.w().filemodetext.choose();
             t.a.f.dialogs.save_answers.push_back(t.a.f.dir.file("from_b.bin"));
             t.start_sending(t.content, "text");
             t.b.w().cmdsend.click();
         }},
        {"save dialog cancelled",
         [](Faulty& t) {
             t.b.f.dialogs.save_answers.push_back(std::nullopt);
             t.start_sending(t.content, "binary");
         }},
        {"destination is a device",
         [](Faulty& t) {
             t.b.f.dialogs.save_answers.push_back("/dev/full");
             t.start_sending(t.content, "text");
         },
         "The file cannot be saved as /dev/full: it is a device or another special file, not a file. Please choose "
         "another name."},
        {"disk fills up under the spool",
         [](Faulty& t) {
             t.disk_full.emplace(32 * 1024); // the spool needs 40,000
             t.start_sending(t.content, "binary");
         },
         abandoned},
        {"line unplugged in a call", [](Faulty& t) { t.exchange.set_unplugged("5551001", true); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        Faulty t;
        row.inject(t);
        t.run_for(600);
        t.disk_full.reset();
        EXPECT_FALSE(t.a.f.ended);
        EXPECT_FALSE(t.b.f.ended);
        if (row.receiver_told) {
            EXPECT_TRUE(t.b.f.dialogs.showed(row.receiver_told));
        }
        if (t.receiver_reported() && t.b.f.dir.exists("received.bmp")) {
            EXPECT_TRUE(t.received() == t.content);
        }

        // The users hang up (the sender first) and call again.
        t.exchange.set_unplugged("5551001", false);
        t.exchange.set_noise("5551002", 0);
        ASSERT_TRUE(t.call_again());
        EXPECT_FALSE(t.b.f.dir.exists("vlorn.cmp")) << "no spool left behind";
        std::filesystem::remove(t.b.f.dir.file("received.bmp"));
        ASSERT_TRUE(t.send(t.content, "binary", 900)) << "a new call carries a new file";
        EXPECT_TRUE(t.received() == t.content);
    }
}

} // namespace
} // namespace quillon
