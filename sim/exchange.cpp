// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/exchange.h"

#include "sim/hayes_modem.h"

#include <algorithm>
#include <span>

namespace quillon::sim {

namespace {
// Bytes travel in pieces of this size, so a long frame arrives in parts
// the way it does from a real line.
constexpr std::size_t piece_size = 256;
} // namespace

Exchange::Exchange(SimClock& clock, Config config) : clock_(clock), config_(config), noise_rng_(config.seed) {}

Exchange::~Exchange() = default;

void Exchange::attach(HayesModem& modem) { lines_[modem.number()].modem = &modem; }

void Exchange::detach(HayesModem& modem) {
    hang_up(modem);
    auto it = lines_.find(modem.number());
    if (it != lines_.end() && it->second.modem == &modem) it->second.modem = nullptr;
}

HayesModem* Exchange::find(const std::string& number) {
    Line* line = line_of(number);
    return line ? line->modem : nullptr;
}

Exchange::Line* Exchange::line_of(const std::string& number) {
    auto it = lines_.find(number);
    return it == lines_.end() ? nullptr : &it->second;
}

Exchange::Call* Exchange::call_of(const HayesModem& modem) {
    for (auto& call : calls_)
        if (call->caller == &modem || call->callee == &modem) return call.get();
    return nullptr;
}

void Exchange::dial(HayesModem& caller, const std::string& number) {
    hang_up(caller);
    auto call = std::make_unique<Call>();
    call->caller = &caller;
    call->callee = nullptr;
    Call* placed = call.get();
    calls_.push_back(std::move(call));
    clock_.schedule(clock_.now() + config_.dial_seconds, [this, placed, alive = placed->alive, number] {
        if (!*alive) return;
        HayesModem& from = *placed->caller;
        Line* own = line_of(from.number());
        if (own && own->unplugged) {
            end_call(placed, &from);
            return from.no_dialtone();
        }
        Line* target = line_of(number);
        bool reachable = target && target->modem && !target->unplugged && target->modem->powered();
        if (reachable && (target->busy || target->modem == &from || call_of(*target->modem))) {
            end_call(placed, &from);
            return from.call_busy();
        }
        // Nobody there, or nobody answering: the caller waits until it gives up.
        if (!reachable || !target->answering) return;
        placed->callee = target->modem;
        placed->caller_line = own;
        placed->callee_line = target;
        target->modem->incoming_call();
    });
}

void Exchange::answer(HayesModem& callee) {
    Call* call = call_of(callee);
    if (!call || call->callee != &callee || call->connected) return;
    clock_.schedule(clock_.now() + config_.handshake_seconds, [call, alive = call->alive] {
        if (!*alive) return;
        call->connected = true;
        call->caller->call_connected();
        call->callee->call_connected();
    });
}

void Exchange::hang_up(HayesModem& modem) {
    if (Call* call = call_of(modem)) end_call(call, &modem);
}

void Exchange::end_call(Call* call, HayesModem* hanging_up) {
    *call->alive = false;
    HayesModem* caller = call->caller;
    HayesModem* callee = call->callee;
    bool connected = call->connected;
    calls_.erase(std::find_if(calls_.begin(), calls_.end(), [call](auto& c) { return c.get() == call; }));
    if (!connected) {
        if (callee && hanging_up != callee) callee->call_withdrawn();
        if (hanging_up != caller && callee) caller->carrier_lost();
        return;
    }
    if (hanging_up != caller) caller->carrier_lost();
    if (hanging_up != callee) callee->carrier_lost();
}

void Exchange::send(HayesModem& from, std::string_view bytes) {
    Call* call = call_of(from);
    if (!call || !call->connected || bytes.empty()) return;
    bool forward = call->caller == &from;
    HayesModem* to = forward ? call->callee : call->caller;
    Direction& dir = forward ? call->to_callee : call->to_caller;
    double noise = std::max(call->caller_line->noise, call->callee_line->noise);
    double char_time = config_.rate_bps > 0 ? 10.0 / config_.rate_bps : 0.0;
    // Pieces due at the same moment travel together in one event, delivered
    // piece by piece as they left.
    std::string together;
    together.reserve(bytes.size());
    double now = clock_.now(), due = 0;
    const std::size_t step = piece_length(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        std::string_view piece = bytes.substr(at, step);
        double start = std::max(now, dir.busy_until);
        dir.busy_until = start + static_cast<double>(piece.size()) * char_time;
        double piece_due = dir.busy_until + config_.latency_seconds;
        if (!together.empty() && piece_due != due) {
            carry(*call, *to, from.number(), due, std::move(together));
            together.clear();
        }
        due = piece_due;
        together.append(piece);
        if (noise > 0) corrupt(std::span(together).last(piece.size()), noise);
    }
    carry(*call, *to, from.number(), due, std::move(together));
}

void Exchange::carry(Call& call, HayesModem& to, const std::string& from_number, double due, std::string bytes) {
    const std::size_t step = piece_length(bytes.size());
    clock_.schedule(due, [this, &to, from_number, step, alive = call.alive, bytes = std::move(bytes)] {
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            if (!*alive) return;
            std::string_view part = std::string_view(bytes).substr(at, step);
            // The transcript still shows the line's pieces.
            for (std::size_t piece = 0; on_carried && piece < part.size(); piece += piece_size)
                on_carried(from_number, to.number(), part.substr(piece, piece_size));
            to.from_line(part);
        }
    });
}

// With no rate limit nothing spaces the pieces: they leave at once and
// reach the modem as one, as a fast line's buffer hands them over.
std::size_t Exchange::piece_length(std::size_t total) const {
    return config_.rate_bps > 0 ? piece_size : std::max<std::size_t>(total, 1);
}

void Exchange::corrupt(std::span<char> bytes, double rate) {
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> flip(1, 255);
    for (char& c : bytes)
        if (chance(noise_rng_) < rate) c = static_cast<char>(static_cast<unsigned char>(c) ^ flip(noise_rng_));
}

bool Exchange::drop(const std::string& number) {
    HayesModem* modem = find(number);
    Call* call = modem ? call_of(*modem) : nullptr;
    if (!call) return false;
    end_call(call, nullptr);
    return true;
}

bool Exchange::set_noise(const std::string& number, double rate) {
    Line* line = line_of(number);
    if (!line) return false;
    line->noise = std::clamp(rate, 0.0, 1.0);
    return true;
}

bool Exchange::set_busy(const std::string& number, bool on) {
    Line* line = line_of(number);
    if (!line) return false;
    line->busy = on;
    return true;
}

bool Exchange::set_unplugged(const std::string& number, bool on) {
    Line* line = line_of(number);
    if (!line) return false;
    line->unplugged = on;
    if (on && line->modem) drop(number);
    return true;
}

bool Exchange::set_answering(const std::string& number, bool on) {
    Line* line = line_of(number);
    if (!line) return false;
    line->answering = on;
    return true;
}

bool Exchange::set_power(const std::string& number, bool on) {
    HayesModem* modem = find(number);
    if (!modem) return false;
    modem->set_power(on);
    return true;
}

std::vector<Exchange::LineStatus> Exchange::list() {
    std::vector<LineStatus> out;
    for (auto& [number, line] : lines_) {
        LineStatus status;
        status.number = number;
        status.state = "idle";
        if (line.modem) {
            if (Call* call = call_of(*line.modem)) {
                status.state = call->connected ? "connected" : (call->callee ? "ringing" : "dialling");
                HayesModem* peer = call->caller == line.modem ? call->callee : call->caller;
                if (peer) status.peer = peer->number();
            }
            status.powered = line.modem->powered();
        }
        status.busy = line.busy;
        status.unplugged = line.unplugged;
        status.answering = line.answering;
        status.noise = line.noise;
        out.push_back(status);
    }
    return out;
}

} // namespace quillon::sim
