// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/caller_id_watch.h"

#include "base/shared_state.h"

namespace quillon {
namespace {

// A caller-ID line is short; anything longer is not one.
constexpr std::size_t longest_line = 128;

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

void CallerIdWatch::take(const std::string& arrived) {
    // In a call the peer's text could hold anything.
    if (state_.connected == 1 || in_call_) {
        partial_.clear();
        overlong_ = false;
        return;
    }
    for (char c : arrived) {
        if (in_call_) break;
        if (c == '\r' || c == '\n') {
            if (!overlong_) take_line(partial_);
            partial_.clear();
            overlong_ = false;
        } else if (partial_.size() < longest_line) {
            partial_ += c;
        } else {
            overlong_ = true;
        }
    }
}

void CallerIdWatch::take_line(const std::string& line) {
    std::string text = trimmed(line);
    if (text == "RING") ringing_ = true;
    if (text.compare(0, 7, "CONNECT") == 0) {
        ringing_ = false;
        in_call_ = true;
    }
    if (!ringing_ || text.compare(0, 4, "NMBR") != 0) return;
    std::string rest = trimmed(text.substr(4));
    if (rest.empty() || rest[0] != '=') return;
    std::string number = trimmed(rest.substr(1));
    if (number.empty() || number == "P" || number == "O") return;
    events_.caller_id(number);
}

} // namespace quillon
