// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modem_bench.h"

#include <functional>

namespace quillon::sim {
namespace {

using Bench = testing::ModemBench;

// Runs until the modem has said something; the time it took.
double seconds_until_output(Bench& t, testing::ModemRecorder& r, double limit = 120) {
    double start = t.time.now();
    t.time.run_until([&] { return !r.out.empty(); }, limit);
    return t.time.now() - start;
}

TEST(Exchange, EveryFailedCallGivesItsResultAtItsTime) {
    struct Row {
        const char* what;
        std::function<void(Bench&)> fault;
        const char* dial;
        const char* result;
        double after; // seconds from the dial command
    };
    const Row rows[] = {
        {"busy number", [](Bench& t) { t.exchange.set_busy("5551002", true); }, "ATDT5551002\r", "\r\nBUSY\r\n", 1.0},
        {"own number", [](Bench&) {}, "ATDT555-1001\r", "\r\nBUSY\r\n", 1.0},
        {"callee in a call", [](Bench& t) { t.b.from_computer("ATD5559999\r"); }, "ATDT5551002\r", "\r\nBUSY\r\n",
         1.0},
        {"own line unplugged", [](Bench& t) { t.exchange.set_unplugged("5551001", true); }, "ATDT5551002\r",
         "\r\nNO DIALTONE\r\n", 1.0},
        {"no answer", [](Bench& t) { t.exchange.set_answering("5551002", false); }, "ATDT5551002\r",
         "\r\nNO CARRIER\r\n", 50.0},
        {"callee switched off", [](Bench& t) { t.exchange.set_power("5551002", false); }, "ATDT5551002\r",
         "\r\nNO CARRIER\r\n", 50.0},
        {"nobody on that number", [](Bench&) {}, "ATDP5550000\r", "\r\nNO CARRIER\r\n", 50.0},
        {"shorter S7", [](Bench& t) { t.exchange.set_answering("5551002", false); }, "ATS7=5DT5551002\r",
         "\r\nNO CARRIER\r\n", 5.0},
    };
    for (const Row& row : rows) {
        Bench t;
        t.quiet();
        row.fault(t);
        t.ra.take();
        t.a.from_computer(row.dial);
        EXPECT_NEAR(seconds_until_output(t, t.ra), row.after, 1e-9) << row.what;
        EXPECT_EQ(t.ra.take(), row.result) << row.what;
        EXPECT_FALSE(t.a.in_call()) << row.what;
        EXPECT_EQ(t.rb.take().find("RING"), std::string::npos) << row.what;
    }
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
