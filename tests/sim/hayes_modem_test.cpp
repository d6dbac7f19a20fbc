// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modem_bench.h"

#include <gtest/gtest.h>

namespace quillon::sim {
namespace {

using Bench = testing::ModemBench;

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

} // namespace
} // namespace quillon::sim
