// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/hayes_modem.h"

#include "sim/exchange.h"

#include <cstdio>

namespace quillon::sim {

namespace {
const char* result_text(HayesModem::Result r) {
    switch (r) {
    case HayesModem::Result::ok: return "OK";
    case HayesModem::Result::connect: return "CONNECT";
    case HayesModem::Result::ring: return "RING";
    case HayesModem::Result::no_carrier: return "NO CARRIER";
    case HayesModem::Result::error: return "ERROR";
    case HayesModem::Result::no_dialtone: return "NO DIALTONE";
    case HayesModem::Result::busy: return "BUSY";
    case HayesModem::Result::no_answer: return "NO ANSWER";
    }
    return "ERROR";
}

constexpr double ring_period = 6.0;
constexpr double ring_on = 2.0;
} // namespace

HayesModem::HayesModem(Exchange& exchange, std::string number)
    : exchange_(exchange), clock_(exchange.clock()), number_(std::move(number)) {
    reset();
    exchange_.attach(*this);
}

HayesModem::~HayesModem() {
    cancel_timers();
    exchange_.detach(*this);
}

void HayesModem::reset() {
    echo_ = verbose_ = true;
    quiet_ = false;
    dtr_mode_ = 2;
    dcd_mode_ = 1;
    regs_.fill(0);
    regs_[2] = 43;
    regs_[3] = 13;
    regs_[4] = 10;
    regs_[5] = 8;
    regs_[6] = 2;
    regs_[7] = 50;
    regs_[8] = 2;
    regs_[10] = 14;
    regs_[12] = 50;
}

ModemSignals HayesModem::signals() const {
    return {powered_ && (dcd_mode_ == 0 || carrier_), powered_, powered_ && ri_};
}

void HayesModem::from_computer(std::string_view bytes) {
    if (!powered_ || (!dtr_ && dtr_mode_ != 0)) return;
    if (state_ == State::online) {
        // The bytes of one write arrive together: one reading of the clock.
        double now = clock_.now();
        // Every byte but the escape character leaves the same state behind,
        // so of the bytes before the first escape only the last one counts.
        std::size_t from = bytes.find(static_cast<char>(regs_[2]));
        if (from == std::string_view::npos) from = bytes.size();
        for (char c : bytes.substr(from > 0 ? from - 1 : 0)) take_online_byte(c, now);
        exchange_.send(*this, bytes);
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (state_ == State::dialling || state_ == State::answering) {
            // A key pressed while the modems are still meeting gives up the call.
            hang_up();
            result(Result::no_carrier);
            return;
        }
        if (state_ == State::online) {
            from_computer(bytes.substr(i));
            return;
        }
        take_command_byte(bytes[i]);
    }
    flush_echo();
}

void HayesModem::take_command_byte(char c) {
    if (echo_) echo_pending_.push_back(c);
    if (c == static_cast<char>(regs_[3])) {
        std::string line;
        line.swap(line_);
        run_command_line(line);
    } else if (c == static_cast<char>(regs_[5])) {
        if (!line_.empty()) line_.pop_back();
    } else if (c != static_cast<char>(regs_[4])) {
        if (line_.size() < 255) line_.push_back(c);
        if (line_ == "A/" || line_ == "a/") {
            line_.clear();
            if (!last_line_.empty()) run_command_line(last_line_);
        }
    }
}

void HayesModem::run_command_line(const std::string& raw) {
    std::size_t start = raw.find_first_not_of(' ');
    if (start == std::string::npos) return;
    std::string line = raw.substr(start);
    if (line.compare(0, 2, "AT") != 0 && line.compare(0, 2, "at") != 0) return;
    last_line_ = line;
    auto commands = parse_command_line(std::string_view(line).substr(2));
    if (!commands) return result(Result::error);
    for (const ModemCommand& cmd : *commands) {
        bool failed = false;
        if (!run(cmd, failed)) return;
        if (failed) return result(Result::error);
    }
    result(Result::ok);
}

bool HayesModem::run(const ModemCommand& cmd, bool& failed) {
    int v = cmd.value < 0 ? 0 : cmd.value;
    if (cmd.prefix == '&') {
        if (cmd.letter == 'D') v <= 3 ? void(dtr_mode_ = v) : void(failed = true);
        else if (cmd.letter == 'C') v <= 1 ? void(dcd_mode_ = v) : void(failed = true);
        else if (cmd.letter == 'F') reset();
        return true;
    }
    switch (cmd.letter) {
    case 'A': answer(); return false;
    case 'D': {
        std::size_t first = cmd.dial.find_first_not_of(" TPtp");
        bool redial = first != std::string::npos && (cmd.dial[first] == 'L' || cmd.dial[first] == 'l');
        if (redial && !has_last_number_) {
            failed = true;
            return true;
        }
        if (!redial) {
            last_number_ = dialled_digits(cmd.dial);
            has_last_number_ = true;
        }
        dial(last_number_);
        return false;
    }
    case 'E': echo_ = v != 0; return true;
    case 'V': verbose_ = v != 0; return true;
    case 'Q': quiet_ = v != 0; return true;
    case 'H':
        if (v == 0 && state_ != State::command) hang_up();
        return true;
    case 'O':
        if (state_ == State::online_command) {
            state_ = State::online;
            result(Result::connect);
        } else {
            result(Result::no_carrier);
        }
        return false;
    case 'Z': reset(); return true;
    case 'I': send_text("\r\nQuillon line simulator\r\n"); return true;
    case 'S': {
        if (cmd.reg >= static_cast<int>(regs_.size())) {
            failed = true;
        } else if (cmd.query) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%03d", regs_[cmd.reg] % 1000);
            send_text(verbose_ ? "\r\n" + std::string(digits) + "\r\n" : std::string(digits) + "\r\n");
        } else {
            regs_[cmd.reg] = v > 255 ? 255 : v;
        }
        return true;
    }
    default: return true; // speaker, result sets and the like change nothing here
    }
}

void HayesModem::dial(const std::string& digits) {
    state_ = State::dialling;
    exchange_.dial(*this, digits);
    wait_for_carrier();
}

// Gives up with NO CARRIER when the call is not up within S7 seconds.
void HayesModem::wait_for_carrier() {
    State waiting = state_;
    wait_timer_ = clock_.schedule(clock_.now() + regs_[7], [this, waiting] {
        wait_timer_ = 0;
        if (state_ != waiting) return;
        hang_up();
        result(Result::no_carrier);
    });
}

void HayesModem::answer() {
    if (state_ != State::ringing) return result(Result::no_carrier);
    cancel_timers();
    ri_ = false;
    state_ = State::answering;
    exchange_.answer(*this);
    wait_for_carrier();
}

void HayesModem::hang_up() {
    exchange_.hang_up(*this);
    go_idle();
}

void HayesModem::go_idle() {
    cancel_timers();
    state_ = State::command;
    carrier_ = ri_ = false;
    pluses_ = 0;
}

void HayesModem::cancel_timers() {
    for (SimClock::EventId* id : {&ring_timer_, &ri_timer_, &wait_timer_, &escape_timer_, &carrier_timer_}) {
        if (*id) clock_.cancel(*id);
        *id = 0;
    }
}

void HayesModem::set_dtr(bool on) {
    bool dropped = dtr_ && !on;
    dtr_ = on;
    if (!dropped || !powered_ || state_ == State::command || state_ == State::ringing) return;
    switch (dtr_mode_) {
    case 1:
        if (state_ == State::online) {
            state_ = State::online_command;
            result(Result::ok);
        }
        break;
    case 2:
        hang_up();
        result(Result::ok);
        break;
    case 3:
        hang_up();
        reset();
        break;
    default: break;
    }
}

void HayesModem::set_power(bool on) {
    if (on == powered_) return;
    if (!on) {
        if (state_ != State::command) exchange_.hang_up(*this);
        go_idle();
        line_.clear();
        powered_ = false;
    } else {
        powered_ = true;
        reset();
    }
}

void HayesModem::incoming_call() {
    state_ = State::ringing;
    rings_ = 0;
    ring();
}

void HayesModem::ring() {
    ring_timer_ = 0;
    if (state_ != State::ringing) return;
    ++rings_;
    ri_ = true;
    result(Result::ring);
    ri_timer_ = clock_.schedule(clock_.now() + ring_on, [this] {
        ri_timer_ = 0;
        ri_ = false;
    });
    if (regs_[0] > 0 && rings_ >= regs_[0] && dtr_) return answer();
    ring_timer_ = clock_.schedule(clock_.now() + ring_period, [this] { ring(); });
}

void HayesModem::call_withdrawn() {
    if (state_ == State::ringing) go_idle();
}

void HayesModem::call_busy() {
    go_idle();
    result(Result::busy);
}

void HayesModem::no_dialtone() {
    go_idle();
    result(Result::no_dialtone);
}

void HayesModem::call_connected() {
    cancel_timers();
    state_ = State::online;
    carrier_ = true;
    last_data_time_ = clock_.now();
    result(Result::connect);
}

void HayesModem::carrier_lost() {
    if (carrier_timer_) return;
    // The far end's carrier is missed only after S10 tenths of a second.
    carrier_timer_ = clock_.schedule(clock_.now() + regs_[10] / 10.0, [this] {
        carrier_timer_ = 0;
        go_idle();
        result(Result::no_carrier);
    });
}

void HayesModem::from_line(std::string_view bytes) {
    if (state_ == State::online) send_text(bytes);
}

void HayesModem::take_online_byte(char c, double now) {
    bool escape_char = c == static_cast<char>(regs_[2]);
    if (escape_char && pluses_ == 0 && now - last_data_time_ >= guard_seconds()) {
        pluses_ = 1;
    } else if (escape_char && pluses_ > 0 && pluses_ < 3 && now - last_plus_time_ <= guard_seconds()) {
        ++pluses_;
    } else {
        pluses_ = 0;
        last_data_time_ = now;
    }
    last_plus_time_ = now;
    if (escape_timer_) {
        clock_.cancel(escape_timer_);
        escape_timer_ = 0;
    }
    if (pluses_ == 3) escape_timer_ = clock_.schedule(now + guard_seconds(), [this] { escape(); });
}

void HayesModem::escape() {
    escape_timer_ = 0;
    if (state_ != State::online) return;
    state_ = State::online_command;
    pluses_ = 0;
    result(Result::ok);
}

void HayesModem::result(Result r) {
    if (quiet_) return;
    if (verbose_) send_text("\r\n" + (r == Result::connect ? connect_text_ : std::string(result_text(r))) + "\r\n");
    else send_text(std::to_string(static_cast<int>(r)) + "\r");
}

void HayesModem::send_text(std::string_view text) {
    flush_echo();
    if (listener_ && powered_) listener_->modem_output(text);
}

// Echoed characters go out together, ahead of anything the modem says.
void HayesModem::flush_echo() {
    if (echo_pending_.empty()) return;
    std::string echo;
    echo.swap(echo_pending_);
    if (listener_ && powered_) listener_->modem_output(echo);
}

} // namespace quillon::sim
