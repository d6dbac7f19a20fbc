// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modem_bench.h"

namespace quillon::sim {
namespace {

using Bench = testing::ModemBench;

// Runs until the modem has said something; the time it took.
double seconds_until_output(Bench& t, testing::ModemRecorder& r, double limit = 120) {
    double start = t.time.now();
    t.time.run_until([&] { return !r.out.empty(); }, limit);
    return t.time.now() - start;
}

TEST(Exchange, ChunksQueueBehindTheOneOnTheLine) {
    Bench t;
    t.connect();
    double start = t.time.now();
    const double char_time = 10.0 / 56000;
    t.a.from_computer(std::string(560, 'a'));
    t.a.from_computer(std::string(56, 'b'));
    t.time.run_until([&] { return t.rb.out.size() == 560; }, 1);
    EXPECT_NEAR(t.time.now() - start, 560 * char_time + 0.040, 1e-9);
    t.time.run_until([&] { return t.rb.out.size() == 616; }, 1);
    EXPECT_NEAR(t.time.now() - start, 616 * char_time + 0.040, 1e-9) << "the second waits for the first";

    // After the line has been idle a chunk starts at once.
    t.rb.take();
    t.time.run_for(5);
    start = t.time.now();
    t.a.from_computer("x");
    EXPECT_NEAR(seconds_until_output(t, t.rb), char_time + 0.040, 1e-9);

    t.rb.take();
    t.a.from_computer("ab");
    t.b.from_computer("cd");
    t.time.run_for(0.041);
    EXPECT_EQ(t.rb.take(), "ab");
    EXPECT_EQ(t.ra.take(), "cd") << "each direction has its own line";
}

} // namespace
} // namespace quillon::sim
