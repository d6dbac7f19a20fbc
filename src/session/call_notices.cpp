// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_notices.h"

#include "session/notifier.h"

#include <cstdio>
#include <filesystem>

namespace quillon {
namespace {

std::string from(const std::string& number) {
    return number.empty() ? "" : "From " + number;
}

} // namespace

std::string readable_size(std::int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double size = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (size >= 1024 && unit < 3) {
        size /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
    return text;
}

std::string CallNotices::number() const {
    return calls_.current() ? calls_.current()->number : "";
}

void CallNotices::ringing() {
    // The modem repeats RING until the call is answered.
    if (ringing_) return;
    ringing_ = true;
    announced_ = number();
    ring_told_ = say("Incoming call", from(announced_));
}

// The caller's number comes after the first RING: the notice is replaced.
void CallNotices::caller_id(const std::string&) {
    if (!ringing_ || number() == announced_) return;
    announced_ = number();
    ring_told_ = say("Incoming call", from(announced_), ring_told_) || ring_told_;
}

void CallNotices::connected() {
    ringing_ = false;
    std::string with = number();
    say("Call connected", with.empty() ? "" : "With " + with);
}

void CallNotices::call_ended(CallEnd) {
    forget_call();
}

void CallNotices::transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) {
    std::string name = std::filesystem::path(info.file_name).filename().string();
    if (outcome == TransferOutcome::complete && info.direction == TransferDirection::receiving)
        say("File received", name + " (" + readable_size(info.size) + ")");
    else if (outcome != TransferOutcome::complete) // failed, or abandoned when the call went
        say("Transfer failed", name.empty() || detail.empty() ? name + detail : name + ": " + detail);
}

bool CallNotices::say(const std::string& summary, const std::string& body, bool replace_last) {
    if (!notifier_ || notifier_->window_active()) return false;
    notifier_->notify(summary, body, replace_last);
    return true;
}

void CallNotices::forget_call() {
    announced_.clear();
    ringing_ = false;
    ring_told_ = false;
}

} // namespace quillon
