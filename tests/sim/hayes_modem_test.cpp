// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillon::sim {
namespace {

// Keeps what a modem says to its computer.
struct ModemRecorder : ModemListener {
    void modem_output(std::string_view bytes) override { out += bytes; }
    std::string take() { return std::exchange(out, {}); }
    std::string out;
};

// Two emulated modems on one exchange in virtual time, DTR up, with the
// test as both computers: 5551001 (a) and 5551002 (b).
struct Bench {
    Bench() {
        a.set_listener(&ra);
        b.set_listener(&rb);
        a.set_dtr(true);
        b.set_dtr(true);
    }
    // Echo off on both, then a calls b and b answers.
    void connect() {
        a.from_computer("ATE0\r");
        b.from_computer("ATE0\r");
        ra.take();
        rb.take();
        a.from_computer("ATDT5551002\r");
        time.run_for(1.5);
        EXPECT_EQ(rb.take(), "\r\nRING\r\n");
        b.from_computer("ATA\r");
        time.run_for(2);
        EXPECT_EQ(ra.take(), "\r\nCONNECT 56000\r\n");
        EXPECT_EQ(rb.take(), "\r\nCONNECT 56000\r\n");
    }

    VirtualTime time;
    VirtualClock clock{time};
    Exchange exchange{clock, {}};
    HayesModem a{exchange, "5551001"};
    HayesModem b{exchange, "5551002"};
    ModemRecorder ra, rb;
};

TEST(HayesModem, CallDataEscapeAndHangUp) {
    Bench t;
    t.connect();
    EXPECT_TRUE(t.a.signals().dcd);
    EXPECT_TRUE(t.b.signals().dcd);

    t.a.from_computer("data +++ inside");
    t.time.run_for(3);
    EXPECT_EQ(t.rb.take(), "data +++ inside") << "without the guard time +++ is data";
    EXPECT_EQ(t.ra.take(), "");

    t.a.from_computer("+++");
    t.time.run_for(1.5);
    EXPECT_EQ(t.ra.take(), "\r\nOK\r\n") << "guard, +++, guard: command state";
    EXPECT_EQ(t.rb.take(), "+++");
    t.a.from_computer("ATO\r");
    EXPECT_EQ(t.ra.take(), "\r\nCONNECT 56000\r\n");
    t.a.from_computer("x");
    t.time.run_for(1);
    EXPECT_EQ(t.rb.take(), "x");

    // &D2: a DTR drop hangs up; the far modem misses the carrier after S10.
    t.a.set_dtr(false);
    EXPECT_EQ(t.ra.take(), "\r\nOK\r\n");
    EXPECT_FALSE(t.a.signals().dcd);
    t.time.run_for(1.3);
    EXPECT_TRUE(t.b.signals().dcd);
    t.time.run_for(0.2);
    EXPECT_EQ(t.rb.take(), "\r\nNO CARRIER\r\n");
    EXPECT_FALSE(t.b.signals().dcd);
    t.a.from_computer("AT\r");
    EXPECT_EQ(t.ra.take(), "") << "no commands while DTR is low";
    t.a.set_dtr(true);

    t.a.from_computer("ATDL\r");
    t.time.run_for(1.5);
    EXPECT_EQ(t.rb.take(), "\r\nRING\r\n") << "ATDL dials the last number again";
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
    t.time.run_until([&] { return !t.rb.out.empty(); }, 120);
    EXPECT_NEAR(t.time.now() - start, char_time + 0.040, 1e-9);

    t.rb.take();
    t.a.from_computer("ab");
    t.b.from_computer("cd");
    t.time.run_for(0.041);
    EXPECT_EQ(t.rb.take(), "ab");
    EXPECT_EQ(t.ra.take(), "cd") << "each direction has its own line";
}

} // namespace
} // namespace quillon::sim
