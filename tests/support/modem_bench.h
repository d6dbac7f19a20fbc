// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/virtual_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon::testing {

// Keeps what a modem says to its computer.
struct ModemRecorder : sim::ModemListener {
    void modem_output(std::string_view bytes) override { out += bytes; }
    std::string take() {
        std::string s;
        s.swap(out);
        return s;
    }
    std::string out;
};

// Two emulated modems on one exchange in virtual time, DTR up, with the
// test as both computers: 5551001 (a) and 5551002 (b).
struct ModemBench {
    explicit ModemBench(sim::Exchange::Config config = {}) : exchange(clock, config) {
        a.set_listener(&ra);
        b.set_listener(&rb);
        a.set_dtr(true);
        b.set_dtr(true);
    }
    // Echo off on both, and nothing left to read.
    void quiet() {
        a.from_computer("ATE0\r");
        b.from_computer("ATE0\r");
        ra.take();
        rb.take();
    }
    // a calls b and b answers.
    void connect() {
        quiet();
        a.from_computer("ATDT5551002\r");
        time.run_for(1.5);
        EXPECT_EQ(rb.take(), "\r\nRING\r\n");
        b.from_computer("ATA\r");
        time.run_for(2);
        EXPECT_EQ(ra.take(), "\r\nCONNECT 56000\r\n");
        EXPECT_EQ(rb.take(), "\r\nCONNECT 56000\r\n");
    }

    VirtualTime time;
    sim::VirtualClock clock{time};
    sim::Exchange exchange;
    sim::HayesModem a{exchange, "5551001"};
    sim::HayesModem b{exchange, "5551002"};
    ModemRecorder ra, rb;
};

} // namespace quillon::testing
