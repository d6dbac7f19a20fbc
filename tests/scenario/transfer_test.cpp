// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/partial_files.h"
#include "support/random_content.h"
#include "support/text_history.h"
#include "support/tty_like_line.h"
#include "support/two_programs.h"
#include "base/hex_codec.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <optional>

namespace quillon {
namespace {

using testing::Station;
using testing::random_bytes;
using testing::random_text;
using testing::TtyLikeLine;
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

// A call between a and b, with what crosses the line each way.
struct Transfer : TwoPrograms {
    Transfer() {
        EXPECT_TRUE(start());
        EXPECT_TRUE(call());
        exchange.on_carried = [this](const std::string& from, const std::string&, std::string_view bytes) {
            (from == a.number ? a_to_b : b_to_a) += bytes;
        };
    }
    // a's side writes frames of its own making, a second apart.
    void peer_writes(const std::vector<std::string>& frames) {
        for (const auto& frame : frames) {
            a.p().MSComm1.output(frame);
            run_for(1);
        }
    }
    // After a fault: neither program has ended and b has no file but the one
    // sent; the users hang up and call again, no part of a file is left,
    // and they chat both ways and carry a new file.
    void carry_on(const std::string& sent) {
        EXPECT_FALSE(a.f.ended);
        EXPECT_FALSE(b.f.ended);
        if (b.f.dir.exists("received.bmp")) {
            EXPECT_TRUE(received() == sent) << "a saved file is the file sent";
        }
        ASSERT_TRUE(call_again());
        EXPECT_FALSE(b.f.dir.exists("vlorn.cmp")) << "no spool left behind";
        EXPECT_EQ(testing::partial_files_in(b.f.dir.path()), 0);
        for (auto [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
            chat(*from, "hello from " + from->number);
            EXPECT_TRUE(to->w().txtreceived.text().ends_with("hello from " + from->number));
        }
        std::filesystem::remove(b.f.dir.file("received.bmp"));
        std::string content = random_bytes(20000, 5);
        ASSERT_TRUE(send(content, "binary", 900)) << "a new call carries a new file";
        EXPECT_TRUE(received() == content);
    }
    std::string a_to_b, b_to_a;
    std::optional<FileSizeLimit> disk_full;
};

std::string hex(std::string_view bytes) {
    std::string out;
    append_hex(out, bytes);
    return out;
}

std::string requests(int n) {
    std::string out;
    while (n-- > 0) out += "^%1694%^";
    return out;
}

// Both forms character for character; after a binary one each side
// reports the announced length, in characters on the line.
TEST(TransferScenario, TheWorkedExchangeCharacterForCharacter) {
    const std::string binary = random_bytes(2500, 7), text = random_text(2500, 3);
    struct Row {
        const char* form;
        const std::string& content;
        std::string a_to_b, b_to_a;
        const char* announced; // in the report boxes, which only the binary form shows
    } rows[] = {
        {"binary", binary,
         "^%847%^5000^%847%^photo.bmp^%847%^binary^%847%^" + hex(binary.substr(0, 1024)) + "^%847%^" +
             hex(binary.substr(1024, 1024)) + "^%847%^" + hex(binary.substr(2048)) + "^%847%^",
         requests(7) + "Receiver::Conversion in progress.Please wait!Receiver::Conversion complete.",
         "filesize : 5000 bytes"},
        {"text", text,
         "^%847%^2500^%847%^photo.bmp^%847%^text^%847%^" + text.substr(0, 2048) + "^%847%^" + text.substr(2048) +
             "^%847%^Finished Sending File.",
         requests(5) + "Receiver::Received file.^%1694%^", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.form);
        Transfer t;
        ASSERT_TRUE(t.send(row.content, row.form));
        t.run_for(1); // the last texts still on the line
        EXPECT_TRUE(t.received() == row.content);
        EXPECT_TRUE(t.a_to_b == row.a_to_b);
        EXPECT_EQ(t.b_to_a, row.b_to_a);
        if (row.announced) {
            EXPECT_NE(t.a.f.dialogs.message_starting("filename : ").find(row.announced), std::string::npos);
            EXPECT_TRUE(t.b.f.dialogs.message_starting("filename : " + t.b.f.dir.file("received.bmp")) != "");
        }
        EXPECT_FALSE(t.b.f.dir.exists("vlorn.cmp"));
        EXPECT_TRUE(t.a.w().cmdsend.enabled());
        EXPECT_EQ(t.b.w().txtsend.text(), "") << "nothing of the program's waits to be sent";
        EXPECT_TRUE(t.both_connected());
    }
}

using Shown = testing::ScriptedDialogs::Shown;

// Each box of either half stays up for seconds while the line and the
// timers go on; under it the carrier goes, or the other side sends an
// opening frame, or (under the receiver's boxes) a frame out of turn.
// Nothing is lost, nobody is left without a word, a loss stays said, and
// afterwards the two can chat and carry a new file.
TEST(TransferScenario, CarrierLossOrANewOpeningFrameUnderEachBox) {
    struct Row {
        const char* box;
        const char* form;
        bool on_sender;
        std::function<bool(const Shown&)> is_box;
        std::function<void(Transfer&)> set_up = nullptr;
    };
    auto starts = [](const char* text) { return [text](const Shown& box) { return box.text.starts_with(text); }; };
    using Kind = testing::ScriptedDialogs::Kind;
    const std::vector<Row> rows{
        {"save dialog", "binary", false, [](const Shown& box) { return box.kind == Kind::save_file; }},
        {"text report", "text", false, starts("filename : ")},
        {"binary report", "binary", false, starts("filename : ")},
        {"go-offline question", "binary", false, starts("File download complete.")},
        {"conversion complete", "binary", false, starts("Conversion complete!")},
        {"finished sending", "text", true, starts("Finished sending.")},
        {"sender report", "binary", true, starts("filename : ")},
        {"unusable destination", "text", false, starts("The file cannot be saved as "),
         [](Transfer& t) { t.b.f.dialogs.save_answers.push_back(t.b.f.dir.file("no/such/folder/x")); }},
        {"sending error", "binary", true, starts("Error in sending!"),
         [](Transfer& t) { t.a.f.dialogs.open_answers.push_back(t.a.f.dir.file("missing.bin")); }},
    };
    enum Fault { carrier_loss, opening_frame, out_of_turn };
    const char* fault_names[] = {", carrier lost", ", new opening frame", ", frame out of turn"};
    const std::string abandoned_suffix = " Reception abandoned; nothing was saved.";
    const std::string out_of_turn_notice = "The other side sent a frame out of turn." + abandoned_suffix;
    for (const Row& row : rows) {
        for (Fault fault : {carrier_loss, opening_frame, out_of_turn}) {
            if (fault == out_of_turn && row.on_sender) continue;
            SCOPED_TRACE(std::string(row.box) + fault_names[fault]);
            Transfer t;
            Station& owner = row.on_sender ? t.a : t.b;
            Station& other = row.on_sender ? t.b : t.a;
            testing::TextHistory shown_a(t.a.w().txtreceived), shown_b(t.b.w().txtreceived);
            bool fired = false;
            owner.f.dialogs.on_show = [&](const Shown& box) {
                if (fired || !row.is_box(box)) return;
                fired = true;
                if (fault == carrier_loss) t.exchange.drop(t.a.number);
                else if (fault == opening_frame) other.p().MSComm1.output("^%847%^");
                else other.p().MSComm1.output("12^%847%^");
            };
            for (Station* s : {&t.a, &t.b}) s->f.dialogs.stay_open(t.time, 5);
            if (row.set_up) row.set_up(t);
            const std::string sent = random_bytes(20000, 4);
            t.start_sending(sent, row.form);
            t.run_for(120);
            ASSERT_TRUE(fired);
            EXPECT_EQ(testing::partial_files_in(t.b.f.dir.path()), 0);
            for (auto [s, shown] : {std::pair{&t.a, &shown_a}, std::pair{&t.b, &shown_b}}) {
                if (s->p().transfer.in_progress()) {
                    EXPECT_TRUE(shown->showed("No data from the other side for 30 s; the cancel button hangs up."))
                        << s->number << " is told of the stall";
                }
            }
            // Whatever step it reached, a reception given up stays said in
            // the status bar after the output box has moved on.
            std::string last_loss;
            for (const std::string& text : shown_b.texts) {
                if (text.ends_with(abandoned_suffix))
                    last_loss = text.substr(0, text.size() - abandoned_suffix.size() - 1);
            }
            const bool save_dialog = std::string(row.box) == "save dialog";
            if (save_dialog && fault != opening_frame) {
                EXPECT_FALSE(last_loss.empty()) << "given up before the form was known";
            }
            if (!last_loss.empty()) {
                const std::string said = t.b.p().status.call_text();
                EXPECT_NE(said.find(" (last transfer: "), std::string::npos) << said;
                EXPECT_TRUE(said.ends_with(" (" + last_loss + "))")) << said;
            }
            if (fault == carrier_loss) {
                EXPECT_EQ(t.b.w().txtreceived.text(), "Modem ready...");
            }
            if (fault == out_of_turn && save_dialog) {
                EXPECT_TRUE(t.b.f.dialogs.showed(out_of_turn_notice)) << "told again on return from the dialog";
            }
            owner.f.dialogs.on_show = nullptr;
            t.carry_on(sent);
        }
    }
}

// Each row: a fault during a call or a transfer, of which the receiver may
// be told; afterwards both carry on.
TEST(FaultMatrix, EveryFaultLeavesBothProgramsWorking) {
    const std::string content = random_bytes(20000, 3);
    struct Row {
        const char* fault;
        std::function<void(Transfer&)> inject;
        const char* receiver_told = nullptr;
    };
    const char* abandoned = "Unexpected error while receiving! Cannot continue.";
    const std::vector<Row> rows{
        {"carrier drop mid-transfer",
         [&](Transfer& t) {
             t.start_sending(content, "binary");
             t.run_until([&] { return t.b.s().recv_block > 8; }, 60);
             t.exchange.drop("5551001");
         }},
        {"peer stops answering",
         [&](Transfer& t) {
             t.start_sending(content, "text");
             t.run_until([&] { return t.b.s().recv_block > 6; }, 60);
             t.exchange.set_noise("5551002", 1.0);
         }},
        {"peer sends garbage",
         [&](Transfer& t) { t.peer_writes({"^%847%^", "zz\x01\xFF^%847%^", "garbage^%847%^"}); }, abandoned},
        {"length beyond any file", [&](Transfer& t) { t.peer_writes({"^%847%^", "99999999999^%847%^"}); }, abandoned},
        {"both press Send",
         [&](Transfer& t) {
             t.b.f.dir.write("other.bin", "from b");
             t.b.f.dialogs.open_answers.push_back(t.b.f.dir.file("other.bin"));
             t.b.w().filemodetext.choose();
             t.a.f.dialogs.save_answers.push_back(t.a.f.dir.file("from_b.bin"));
             t.start_sending(content, "text");
             t.b.w().cmdsend.click();
         }},
        {"save dialog cancelled",
         [&](Transfer& t) {
             t.b.f.dialogs.save_answers.push_back(std::nullopt);
             t.start_sending(content, "binary");
         }},
        {"destination is a device",
         [&](Transfer& t) {
             t.b.f.dialogs.save_answers.push_back("/dev/full");
             t.start_sending(content, "text");
         },
         "The file cannot be saved as /dev/full: it is a device or another special file, not a file. Please choose "
         "another name."},
        {"disk fills up under the spool",
         [&](Transfer& t) {
             t.disk_full.emplace(32 * 1024); // the spool needs 40,000
             t.start_sending(content, "binary");
         },
         abandoned},
        {"line unplugged in a call", [&](Transfer& t) { t.exchange.set_unplugged("5551001", true); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        Transfer t;
        row.inject(t);
        t.run_for(600);
        t.disk_full.reset();
        if (row.receiver_told) {
            EXPECT_TRUE(t.b.f.dialogs.showed(row.receiver_told));
        }
        t.exchange.set_unplugged("5551001", false);
        t.exchange.set_noise("5551002", 0);
        t.carry_on(content);
    }
}

// Two programs whose ports behave like ttys: reads take bytes no event
// announced, often only part of them, and the readiness watch lags.
struct TtyPair : TwoPrograms {
    explicit TtyPair(double max_lag, unsigned seed = 1) {
        for (auto* station : {&a, &b}) {
            auto plain = station->f.opener;
            station->f.opener = [this, plain, max_lag, seed = seed++](const std::string& device) {
                return std::make_unique<TtyLikeLine>(plain(device), time, seed, max_lag);
            };
        }
        EXPECT_TRUE(start());
        EXPECT_TRUE(call());
    }
};

TEST(TtyTransferScenario, EveryEdgeSizeInBothFormsWithLaggingAnnouncements) {
    for (double lag : {0.0, 0.003, 0.05}) {
        for (std::size_t size : {0u, 1u, 1023u, 1024u, 1025u, 2047u, 2048u, 2049u, 4096u, 4500u}) {
            for (const char* form : {"text", "binary"}) {
                SCOPED_TRACE(std::string(form) + " " + std::to_string(size) + " bytes, lag " + std::to_string(lag));
                TtyPair t(lag, static_cast<unsigned>(size) + 7);
                std::string content = std::string(form) == "text" ? random_text(size, 3) : random_bytes(size, 4);
                ASSERT_TRUE(t.send(content, form, 600));
                EXPECT_TRUE(t.received() == content);
                EXPECT_TRUE(t.both_connected());
            }
        }
    }
}

// Going offline for the conversion lowers DTR only once the last request
// has crossed the line, so the sender still finishes and reports.
TEST(TtyTransferScenario, GoingOfflineLetsTheSenderFinishAndReport) {
    TtyPair t(0.01);
    std::string b_to_a;
    t.exchange.on_carried = [&](const std::string& from, const std::string&, std::string_view bytes) {
        if (from == t.b.number) b_to_a += bytes;
    };
    std::string content = random_bytes(3000, 8);
    t.b.f.dialogs.yes_no_answers.push_back(true);
    t.start_sending(content, "binary");
    ASSERT_TRUE(t.run_until([&] { return t.b.f.dialogs.showed("Conversion complete!"); }, 60));
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_EQ(b_to_a.find("Receiver::Conversion complete."), std::string::npos)
        << "written to a line whose call is gone";
    EXPECT_TRUE(t.a.f.dialogs.showed("Finished sending.Back to chat mode.")) << "the sender's finishing step";
    EXPECT_NE(t.a.f.dialogs.message_starting("filename : "), "") << "and showed its report";
    EXPECT_EQ(t.a.s().current_mode, OperatingMode::chat);
    EXPECT_FALSE(t.a.w().ProgressBar1.visible());
    EXPECT_TRUE(t.received() == content);
    ASSERT_TRUE(t.call()) << "and the line is ready for the next call";
}

} // namespace
} // namespace quillon
