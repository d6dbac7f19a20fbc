// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/modem_command.h"
#include "sim/sim_clock.h"

#include <array>
#include <string>
#include <string_view>

namespace quillon::sim {

class Exchange;

struct ModemSignals {
    bool dcd = false;
    bool dsr = false;
    bool ri = false;
};

// Told what the modem sends to the computer attached to it.
class ModemListener {
public:
    virtual ~ModemListener() = default;
    virtual void modem_output(std::string_view bytes) = 0;
};

// One emulated Hayes modem: bytes and DTR from the computer in, bytes and
// DCD, DSR, RI out; calls go through the exchange.
class HayesModem {
public:
    enum class Result { ok = 0, connect = 1, ring = 2, no_carrier = 3, error = 4, no_dialtone = 6, busy = 7, no_answer = 8 };

    HayesModem(Exchange& exchange, std::string number);
    ~HayesModem();
    HayesModem(const HayesModem&) = delete;
    HayesModem& operator=(const HayesModem&) = delete;

    const std::string& number() const { return number_; }
    SimClock& clock() { return clock_; }
    void set_listener(ModemListener* listener) { listener_ = listener; }
    // The text of the connect result, "CONNECT 56000" unless told otherwise.
    void set_connect_text(std::string text) { connect_text_ = std::move(text); }

    // The computer's side.
    void from_computer(std::string_view bytes);
    void set_dtr(bool on);
    ModemSignals signals() const;

    void set_power(bool on);
    bool powered() const { return powered_; }
    bool in_call() const { return state_ != State::command; }
    int reg(int n) const { return n >= 0 && n < static_cast<int>(regs_.size()) ? regs_[n] : 0; }

    // The exchange's side.
    void incoming_call();
    void call_withdrawn();
    void call_busy();
    void no_dialtone();
    void call_connected();
    void carrier_lost();
    void from_line(std::string_view bytes);

private:
    enum class State { command, dialling, ringing, answering, online, online_command };

    void take_command_byte(char c);
    void run_command_line(const std::string& line);
    // False when the command ends the line (a call was started or refused).
    bool run(const ModemCommand& cmd, bool& failed);
    void dial(const std::string& digits);
    void answer();
    void wait_for_carrier();
    void hang_up();
    void reset();
    void go_idle();
    void result(Result r);
    void send_text(std::string_view text);
    void flush_echo();
    void ring();
    void take_online_byte(char c, double now);
    void escape();
    void cancel_timers();
    double guard_seconds() const { return regs_[12] / 50.0; }

    Exchange& exchange_;
    SimClock& clock_;
    std::string number_;
    ModemListener* listener_ = nullptr;
    std::string connect_text_ = "CONNECT 56000";

    State state_ = State::command;
    bool powered_ = true;
    bool dtr_ = false;
    bool carrier_ = false;
    bool ri_ = false;
    bool echo_ = true, verbose_ = true, quiet_ = false;
    int dtr_mode_ = 2, dcd_mode_ = 1;
    std::array<int, 40> regs_{};
    std::string line_;
    std::string echo_pending_;
    std::string last_line_;
    std::string last_number_;
    bool has_last_number_ = false;
    int rings_ = 0;

    double last_data_time_ = -1e9;
    double last_plus_time_ = 0;
    int pluses_ = 0;

    SimClock::EventId ring_timer_ = 0, ri_timer_ = 0, wait_timer_ = 0, escape_timer_ = 0, carrier_timer_ = 0;
};

} // namespace quillon::sim
