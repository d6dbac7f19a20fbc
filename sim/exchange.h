// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/sim_clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::sim {

class HayesModem;

// A telephone exchange for emulated modems: it joins two modems when one
// dials the other's number, carries their bytes at the line's rate and
// delay, and injects the faults a real line has.
class Exchange {
public:
    struct Config {
        double rate_bps = 56000;      // 10 bits a character; 0 for no limit
        double latency_seconds = 0.040; // one way
        double dial_seconds = 1.0;    // from ATD to ringing or the failure
        double handshake_seconds = 1.5; // from ATA to CONNECT
        std::uint32_t seed = 1;       // line noise is repeatable
    };
    struct LineStatus {
        std::string number;
        std::string state; // "idle", "ringing", "connected"
        std::string peer;
        bool busy = false, unplugged = false, answering = true, powered = true;
        double noise = 0;
    };

    Exchange(SimClock& clock, Config config);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    SimClock& clock() { return clock_; }
    const Config& config() const { return config_; }

    void attach(HayesModem& modem);
    void detach(HayesModem& modem);
    HayesModem* find(const std::string& number);

    // What modems ask of the exchange.
    void dial(HayesModem& caller, const std::string& number);
    void answer(HayesModem& callee);
    void hang_up(HayesModem& modem);
    void send(HayesModem& from, std::string_view bytes);

    // Faults, by number; false when there is no such line (or no call to drop).
    bool drop(const std::string& number);
    bool set_noise(const std::string& number, double rate);
    bool set_busy(const std::string& number, bool on);
    bool set_unplugged(const std::string& number, bool on);
    bool set_answering(const std::string& number, bool on);
    bool set_power(const std::string& number, bool on);
    std::vector<LineStatus> list();

    // Every byte carried, for the transcript: from, to, the bytes.
    std::function<void(const std::string&, const std::string&, std::string_view)> on_carried;

private:
    struct Direction {
        double busy_until = 0;
    };
    struct Line;
    struct Call {
        HayesModem* caller;
        HayesModem* callee;
        Line* caller_line = nullptr; // set from the dial on; lines are never removed
        Line* callee_line = nullptr;
        bool connected = false;
        Direction to_callee, to_caller;
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    };
    struct Line {
        HayesModem* modem = nullptr;
        bool busy = false, unplugged = false, answering = true;
        double noise = 0;
    };

    Line* line_of(const std::string& number);
    Call* call_of(const HayesModem& modem);
    void end_call(Call* call, HayesModem* hanging_up);
    // Delivers bytes to a modem, piece by piece, at the time they are due.
    void carry(Call& call, HayesModem& to, const std::string& from_number, double due, std::string bytes);
    std::size_t piece_length(std::size_t total) const;
    void corrupt(std::span<char> bytes, double rate);

    SimClock& clock_;
    Config config_;
    std::map<std::string, Line> lines_;
    std::vector<std::unique_ptr<Call>> calls_;
    std::mt19937 noise_rng_;
};

} // namespace quillon::sim
