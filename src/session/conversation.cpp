// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/conversation.h"

namespace quillon {

void Conversation::call_connected(const Call& call) {
    std::string with = call.direction == CallDirection::incoming
                           ? (call.number.empty() ? std::string("Incoming call") : "Incoming call from " + call.number)
                           : "Call with " + call.number;
    calls_.push_back({with + ", " + call.date + " " + call.time, {}});
    received_open_ = false;
    if (on_change) on_change();
}

void Conversation::chat(CallTracker::ChatDirection side, std::string_view text) {
    // Chat outside a call (none is tracked when the program starts in one)
    // still has a place.
    if (calls_.empty()) calls_.push_back({"Call", {}});
    std::vector<Message>& messages = calls_.back().messages;
    if (side == CallTracker::ChatDirection::sent) {
        messages.push_back({clock_.time_of_day(), side, std::string(text)});
        received_open_ = false;
    } else {
        while (!text.empty()) {
            if (!received_open_) messages.push_back({clock_.time_of_day(), side, ""});
            std::size_t end = text.find("\r\n");
            received_open_ = end == std::string_view::npos;
            messages.back().text.append(text.substr(0, end));
            text.remove_prefix(received_open_ ? text.size() : end + 2);
        }
    }
    if (on_change) on_change();
}

std::string Conversation::text() const {
    std::string out;
    for (const CallPart& call : calls_) {
        if (!out.empty()) out += "\r\n";
        out += call.heading + "\r\n";
        for (const Message& m : call.messages)
            out += m.time + (m.side == CallTracker::ChatDirection::sent ? " You: " : " Other side: ") + m.text + "\r\n";
    }
    return out;
}

} // namespace quillon
