// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session_clock.h"
#include "support/random_content.h"
#include "support/two_programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quillon {
namespace {

using testing::Station;
using testing::TwoPrograms;

// Everything the status bar of one station showed, each change once.
struct StatusRecord {
    explicit StatusRecord(Station& s) : model(s.p().status), states{model.call_text()} {
        model.on_change = [this] {
            if (states.empty() || states.back() != model.call_text()) states.push_back(model.call_text());
            const StatusReading& r = model.reading();
            dtr.push_back(r.dtr);
            ri.push_back(r.ri);
        };
    }
    ~StatusRecord() { model.on_change = nullptr; }
    bool showed(bool value, const std::vector<bool>& seen) const {
        return std::find(seen.begin(), seen.end(), value) != seen.end();
    }
    StatusModel& model;
    std::vector<std::string> states;
    std::vector<bool> dtr, ri;
};

TEST(StatusModel, FollowsBusyDialAConnectionAReceptionAndTheHangUp) {
    TwoPrograms t;
    ASSERT_TRUE(t.start());
    t.run_for(2); // a reading every two seconds outside a call
    StatusModel& a = t.a.p().status;
    EXPECT_EQ(a.call_text(), "Idle");
    EXPECT_EQ(a.port_text(), "COMM1 sim:5551001");
    EXPECT_EQ(a.dial_mode_text(), "Tone dialling");
    EXPECT_EQ(a.mode_text(), "Chat");
    EXPECT_EQ(a.online_text(), "");
    EXPECT_TRUE(a.reading().dtr && a.reading().dsr);
    EXPECT_FALSE(a.reading().dcd || a.reading().ri);

    StatusRecord shown_a(t.a), shown_b(t.b);
    ASSERT_TRUE(t.dial_busy_line());
    t.run_for(11);
    EXPECT_EQ(t.a.w().txtreceived.text(), "Modem ready...") << "the output box forgets the outcome";
    EXPECT_EQ(a.call_text(), "Idle (last dial: busy)") << "the status bar keeps it";

    ASSERT_TRUE(t.call());
    EXPECT_TRUE(shown_b.showed(true, shown_b.ri)) << "the ring indicator while it rang";
    EXPECT_EQ(t.b.p().status.call_text(), "Connected incoming");
    EXPECT_TRUE(a.reading().dcd);
    EXPECT_EQ(a.online_text(), "00:00:00");
    double connected_at = t.time.now();
    for (double step = 0; step < 65; step += 1.37) {
        t.run_for(1.37);
        // Refreshed as each second of the call begins: never behind.
        double online = t.time.now() - connected_at;
        std::string text = a.online_text();
        EXPECT_TRUE(text == clock_text(online) || text == clock_text(online - 0.5)) << text << " at " << online;
    }

    // b sends a file: a receives and converts it.
    t.b.offer_file("photo.bmp", testing::random_bytes(3000, 3), "binary");
    t.a.accept_file("received.bmp");
    t.b.p().status.refresh();
    EXPECT_EQ(t.b.p().status.mode_text(), "File transfer, binary: " + t.b.f.dir.file("photo.bmp"))
        << "what Send will send";
    t.b.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.a.f.dialogs.showed("Conversion complete!"); }, 600));
    t.run_for(2);
    EXPECT_EQ(t.b.p().status.mode_text(), "Chat");

    // The peer hangs up: DTR falls on b, the carrier goes on both sides.
    t.b.w().cmdcan.click();
    EXPECT_TRUE(shown_b.showed(false, shown_b.dtr));
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0; }, 12));
    t.run_for(1);
    EXPECT_FALSE(a.reading().dcd);
    EXPECT_TRUE(t.b.p().status.reading().dtr) << "raised again after the hang-up";
    EXPECT_EQ(a.online_text(), "");

    EXPECT_EQ(shown_a.states,
              (std::vector<std::string>{"Idle", "Dialling 5551002", "Idle (last dial: busy)", "Dialling 5551002",
                                        "Connected 5551002", "Receiving received.bmp", "Connected 5551002",
                                        "Converting received.bmp", "Connected 5551002", "Idle"}));
    EXPECT_EQ(shown_b.states, (std::vector<std::string>{"Idle", "Ringing", "Connected incoming", "Sending photo.bmp",
                                                        "Connected incoming", "Idle"}));
}

} // namespace
} // namespace quillon
