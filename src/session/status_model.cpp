// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/status_model.h"

#include "session/call_tracker.h"
#include "session/session_clock.h"

#include <filesystem>
#include <utility>

namespace quillon {
namespace {

// In a call, each second of the online time, counted from the connection;
// outside one, the lines and modes are read again every two seconds (the
// program's own events and the user's actions refresh it at once).
constexpr int call_interval_ms = 1000;
constexpr int idle_interval_ms = 2000;

} // namespace

StatusModel::StatusModel(EventLoop& loop, const CallTracker& calls, std::function<void(StatusReading&)> read)
    : loop_(loop), calls_(calls), read_(std::move(read)) {
    timer_ = loop_.start_timer(idle_interval_ms, [this] { refresh(); });
}

StatusModel::~StatusModel() {
    loop_.stop_timer(timer_);
}

void StatusModel::refresh() {
    read_(next_);
    const CallState state_before = state_;
    const long online_before = online_seconds_;
    const bool reading_changed = !(next_ == reading_);
    if (reading_changed) std::swap(next_, reading_);
    state_ = derive();
    const auto& call = calls_.current();
    online_seconds_ = call && call->connected_at ? static_cast<long>(loop_.monotonic() - *call->connected_at) : -1;
    // The connection's refresh starts the ticks, so each falls just after
    // the online time's next second.
    if ((online_seconds_ >= 0) != timing_call_) {
        timing_call_ = online_seconds_ >= 0;
        loop_.stop_timer(timer_);
        timer_ = loop_.start_timer(timing_call_ ? call_interval_ms : idle_interval_ms, [this] { refresh(); });
    }
    // Runs on every line event and on its ticks: nothing is drawn again
    // unless something shown has changed.
    if (!told_ && !reading_changed && state_ == state_before && online_seconds_ == online_before) return;
    told_ = false;
    if (on_change) on_change();
}

CallState StatusModel::derive() const {
    switch (activity_) {
    case Activity::sending: return CallState::sending;
    case Activity::receiving: return CallState::receiving;
    case Activity::converting: return CallState::converting;
    case Activity::none: break;
    }
    if (const auto& call = calls_.current()) {
        if (call->connected_at) return CallState::connected;
        return call->direction == CallDirection::outgoing ? CallState::dialling : CallState::ringing;
    }
    if (!reading_.port_open) return CallState::no_port;
    if (!reading_.modem_ready) return CallState::modem_not_ready;
    return CallState::idle;
}

std::string StatusModel::call_text() const {
    std::string text = state_text();
    if (!last_transfer_.empty()) text += " (last transfer: " + last_transfer_ + ")";
    return text;
}

std::string StatusModel::state_text() const {
    if (!reading_.redial.empty() && state_ == CallState::idle) return reading_.redial;
    switch (state_) {
    case CallState::no_port: return "No port";
    case CallState::modem_not_ready: return "Modem not ready";
    case CallState::idle:
        return last_outcome_ ? std::string("Idle (last dial: ") + result_text(result_of(*last_outcome_)) + ")" : "Idle";
    case CallState::dialling: return "Dialling " + calls_.current()->number;
    case CallState::ringing: return "Ringing";
    case CallState::connected: {
        const Call& call = *calls_.current();
        return "Connected " + (call.direction == CallDirection::outgoing ? call.number : std::string("incoming"));
    }
    case CallState::sending: return "Sending " + file_;
    case CallState::receiving: return "Receiving " + file_;
    case CallState::converting: return "Converting " + file_;
    }
    return "";
}

std::string StatusModel::online_text() const {
    return online_seconds_ < 0 ? std::string() : clock_text(static_cast<double>(online_seconds_));
}

namespace {
// A device by the part that tells it apart: "ttyUSB0" for
// "/dev/ttyUSB0", "127.0.0.1:7001" for "rfc2217://127.0.0.1:7001".
std::string short_device_name(const std::string& device) {
    std::string_view name = device;
    if (auto scheme = name.find("://"); scheme != std::string_view::npos) {
        name.remove_prefix(scheme + 3);
        name = name.substr(0, name.find_first_of("/?"));
    } else if (name.starts_with('/')) {
        name.remove_prefix(name.find_last_of('/') + 1);
    }
    return std::string(name);
}
} // namespace

std::string StatusModel::port_text() const {
    if (!reading_.port_open) return "No port";
    return "COMM" + std::to_string(reading_.port) + " " + short_device_name(reading_.device);
}

std::string StatusModel::port_full_text() const {
    if (!reading_.port_open) return "No port";
    return "COMM" + std::to_string(reading_.port) + " " + reading_.device;
}

std::string StatusModel::dial_mode_text() const {
    const std::string& mode = reading_.dial_mode;
    if (mode.compare(0, 4, "tone") == 0) return "Tone dialling";
    if (mode.compare(0, 5, "pulse") == 0) return "Pulse dialling";
    return "Dialling mode not set";
}

std::string StatusModel::mode_text() const {
    if (reading_.operating_mode != "file transfer") return "Chat";
    std::string text = "File transfer";
    if (!reading_.form.empty()) text += ", " + reading_.form;
    if (!reading_.send_file.empty()) text += ": " + reading_.send_file;
    return text;
}

void StatusModel::call_began(const Call&) {
    last_outcome_.reset();
    last_transfer_.clear();
    told_ = true;
    refresh();
}

void StatusModel::call_connected(const Call&) {
    told_ = true;
    refresh();
}

void StatusModel::call_over(const Call& call) {
    if (call.direction == CallDirection::outgoing) last_outcome_ = call.dial_outcome;
    told_ = true;
    refresh();
}

// A transfer ends with the call, whether or not a call was tracked.
void StatusModel::call_ended(CallEnd) {
    if (activity_ != Activity::converting) activity_ = Activity::none;
    told_ = true;
    refresh();
}

StatusModel::Activity StatusModel::activity_of(const TransferInfo& info) {
    return info.direction == TransferDirection::sending ? Activity::sending : Activity::receiving;
}

void StatusModel::transfer_started(const TransferInfo& info) {
    activity_ = activity_of(info);
    file_ = std::filesystem::path(info.file_name).filename().string();
    last_transfer_.clear();
    told_ = true;
    refresh();
}

void StatusModel::transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) {
    if (activity_ == activity_of(info)) activity_ = Activity::none;
    if (outcome != TransferOutcome::complete) {
        std::string reason = detail.ends_with('.') ? detail.substr(0, detail.size() - 1) : detail;
        last_transfer_ = outcome == TransferOutcome::failed ? "failed" : "abandoned";
        if (!reason.empty()) last_transfer_ += " (" + reason + ")";
    }
    told_ = true;
    refresh();
}

void StatusModel::converting(bool active) {
    activity_ = active ? Activity::converting : Activity::none;
    told_ = true;
    refresh();
}

} // namespace quillon
