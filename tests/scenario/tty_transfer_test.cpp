// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/random_content.h"
#include "support/tty_like_line.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::random_bytes;
using testing::random_text;
using testing::TtyLikeLine;
using testing::TwoPrograms;

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
