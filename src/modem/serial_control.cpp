// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/serial_control.h"

#include "modem/serial_rate.h"

#include <algorithm>

namespace quillon {

namespace {
// What a modem may still hold and the time its far end takes to get it.
constexpr double modem_guard_seconds = 0.5;
constexpr double max_drain_seconds = 5.0;
} // namespace

SerialControl::SerialControl(EventLoop& loop, LineOpener opener, std::function<std::map<int, std::string>()> devices)
    : loop_(loop), opener_(std::move(opener)), devices_(std::move(devices)) {}

SerialControl::~SerialControl() {
    *alive_ = false;
    if (line_) line_->set_listener(nullptr);
}

void SerialControl::set_comm_port(int port) {
    if (line_ || opening_) throw LineError("Port already open");
    if (port < 1 || port > 16) throw LineError("Invalid port number");
    comm_port_ = port;
}

std::string SerialControl::device_of(int port) const {
    auto devices = devices_();
    auto it = devices.find(port);
    return it == devices.end() ? std::string{} : it->second;
}

void SerialControl::set_port_open(bool open) {
    if (!open) {
        if (line_) line_->set_listener(nullptr);
        line_.reset();
        assumed_ = {};
        received_.clear();
        receive_pending_ = false;
        return;
    }
    if (line_ || opening_) throw LineError("Port already open");
    std::string device = device_of(comm_port_);
    if (device.empty()) throw LineError("No device configured for port " + std::to_string(comm_port_));
    // A network port yields to the loop while it connects.
    opening_ = true;
    try {
        line_ = opener_(device);
    } catch (...) {
        opening_ = false;
        throw;
    }
    opening_ = false;
    device_ = device;
    lines_ignored_ = ignore_modem_lines_;
    line_->set_listener(this);
    line_->set_flow_control(hardware_flow_);
    line_->set_dtr(dtr_);
    received_.clear();
    if (line_->bytes_waiting() > 0) pull();
}

bool SerialControl::set_hardware_flow(bool on) {
    hardware_flow_ = on;
    return line_ && line_->set_flow_control(on);
}

void SerialControl::output(std::string_view text) {
    // Nothing goes out on a closed port; a line that fails under a write is
    // reported like any other port error.
    if (!line_) return;
    double now = loop_.monotonic();
    line_clear_at_ = std::max(now, line_clear_at_) + static_cast<double>(text.size()) * 10 / line_rate;
    in_line_call_ = true;
    try {
        line_->write(text);
    } catch (const LineError&) {
        line_error(comm_event::port_error);
    }
    in_line_call_ = false;
}

std::size_t SerialControl::out_buffer_count() {
    if (!line_) return 0;
    const double ahead = line_clear_at_ - loop_.monotonic();
    return ahead > 0 ? static_cast<std::size_t>(ahead * line_rate / 10) : 0;
}

void SerialControl::take_from_line() {
    if (!line_) return;
    const std::size_t before = received_.size();
    in_line_call_ = true;
    line_->read_available(received_);
    in_line_call_ = false;
    if (lines_ignored_) assumed_.scan(std::string_view(received_).substr(before));
    if (null_discard_)
        received_.erase(std::remove(received_.begin() + static_cast<std::ptrdiff_t>(before), received_.end(), '\0'),
                        received_.end());
}

void SerialControl::pull() {
    take_from_line();
    // The readiness watch does not fire for bytes already taken, so bytes
    // taken here are announced from here.
    announce();
}

void SerialControl::drain_output() {
    double deadline = loop_.monotonic() + max_drain_seconds;
    while (line_ && line_->output_pending() > 0 && loop_.monotonic() < deadline) loop_.wait_for_events(0.01);
    double carried = std::min(line_clear_at_ + modem_guard_seconds, deadline);
    for (double now = loop_.monotonic(); line_ && now < carried; now = loop_.monotonic())
        loop_.wait_for_events(carried - now);
}

std::string SerialControl::input() {
    // Everything is handed over here, so nothing is left to announce.
    take_from_line();
    std::string out;
    out.swap(received_);
    return out;
}

bool SerialControl::cd_holding() {
    if (lines_ignored_) return line_ && assumed_.up();
    return line_ && line_->modem_lines().dcd;
}

bool SerialControl::dsr_holding() {
    if (lines_ignored_) return line_ != nullptr;
    return line_ && line_->modem_lines().dsr;
}
bool SerialControl::ri_holding() { return line_ && line_->modem_lines().ri; }

void SerialControl::set_dtr_enable(bool on) {
    dtr_ = on;
    if (!on) assumed_.hang_up();
    if (line_) line_->set_dtr(on);
}

std::size_t SerialControl::in_buffer_count() {
    pull();
    return received_.size();
}

// The line tells of arrivals from the loop, so the event is raised at once,
// not from a later pass; told from inside a write or a read of ours, it
// waits for the loop.
void SerialControl::line_readable() {
    if (in_line_call_) return pull();
    take_from_line();
    if (!received_.empty() && rthreshold_ >= 1) raise(comm_event::receive);
}

void SerialControl::announce() {
    if (received_.empty() || rthreshold_ < 1 || receive_pending_) return;
    // Raised from the loop, never from inside a write or a read of ours.
    receive_pending_ = true;
    loop_.post([this, alive = alive_] {
        if (!*alive) return;
        pull();
        receive_pending_ = false;
        if (!received_.empty()) raise(comm_event::receive);
    });
}

void SerialControl::line_error(int event_code) {
    loop_.post([this, alive = alive_, event_code] {
        if (!*alive) return;
        if (event_code == comm_event::port_error && line_ && line_->gone() && on_device_lost) {
            set_port_open(false);
            return on_device_lost(device_);
        }
        raise(event_code);
    });
}

void SerialControl::raise(int code) {
    comm_event_ = code;
    if (on_comm) on_comm();
}

} // namespace quillon
