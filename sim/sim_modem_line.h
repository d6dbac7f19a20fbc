// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/line.h"
#include "sim/hayes_modem.h"

#include <memory>

namespace quillon::sim {

// The serial line to an emulated modem, as a program's serial control sees
// it. What the modem sends is handed over from the clock, never from inside
// a write.
class SimModemLine : public Line, private ModemListener {
public:
    explicit SimModemLine(HayesModem& modem);
    ~SimModemLine() override;

    void write(std::string_view bytes) override;
    void read_available(std::string& into) override;
    std::size_t bytes_waiting() override { return received_.size(); }
    ModemLines modem_lines() override;
    void set_dtr(bool on) override { modem_.set_dtr(on); }
    void set_listener(LineListener* listener) override { listener_ = listener; }

private:
    void modem_output(std::string_view bytes) override;

    HayesModem& modem_;
    SimClock& clock_;
    LineListener* listener_ = nullptr;
    std::string received_;
    bool notify_pending_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon::sim
