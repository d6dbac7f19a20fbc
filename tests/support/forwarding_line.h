// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/line.h"

namespace quillon::testing {

// A Line that hands every call on to another; a wrapper overrides what it
// watches or changes.
class ForwardingLine : public Line {
public:
    explicit ForwardingLine(Line &to) : to_(to) {}
    void write(std::string_view bytes) override { to_.write(bytes); }
    void read_available(std::string &into) override { to_.read_available(into); }
    std::size_t bytes_waiting() override { return to_.bytes_waiting(); }
    ModemLines modem_lines() override { return to_.modem_lines(); }
    void set_dtr(bool on) override { to_.set_dtr(on); }
    void set_listener(LineListener *listener) override { to_.set_listener(listener); }
    bool set_flow_control(bool rts_cts) override { return to_.set_flow_control(rts_cts); }

private:
    Line &to_;
};

} // namespace quillon::testing
