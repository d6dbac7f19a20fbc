// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_modem_line.h"

#include "sim/exchange.h"

namespace quillon::sim {

SimModemLine::SimModemLine(HayesModem& modem) : modem_(modem), clock_(modem.clock()) {
    modem_.set_listener(this);
}

SimModemLine::~SimModemLine() {
    *alive_ = false;
    modem_.set_listener(nullptr);
    // Closing a port lowers DTR, as a real serial driver does.
    modem_.set_dtr(false);
}

void SimModemLine::write(std::string_view bytes) { modem_.from_computer(bytes); }

void SimModemLine::read_available(std::string& into) {
    into += received_;
    received_.clear();
}

ModemLines SimModemLine::modem_lines() {
    ModemSignals s = modem_.signals();
    return {s.dcd, s.dsr, s.ri};
}

void SimModemLine::modem_output(std::string_view bytes) {
    received_ += bytes;
    if (notify_pending_) return;
    notify_pending_ = true;
    clock_.schedule(clock_.now(), [this, alive = alive_] {
        if (!*alive) return;
        notify_pending_ = false;
        if (listener_ && !received_.empty()) listener_->line_readable();
    });
}

} // namespace quillon::sim
