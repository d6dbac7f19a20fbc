// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"
#include "session/call_tracker.h"
#include "session/session_clock.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Both sides of this run's calls, from the events the session log writes
// down: each message with its time and side. The output box shows only
// what the other side sends; this is the whole conversation.
class Conversation : public CallTracker::Listener {
public:
    struct Message {
        std::string time; // "14:30:05"
        CallTracker::ChatDirection side;
        std::string text;
    };
    struct CallPart {
        std::string heading; // "Call with 5551002, 2026-12-07 14:30:05"
        std::vector<Message> messages;
    };

    explicit Conversation(const SessionClock& clock) : clock_(clock) {}

    const std::vector<CallPart>& calls() const { return calls_; }
    // Every call's heading, then a line a message: "14:30:07 You: Hello".
    std::string text() const;
    std::function<void()> on_change;

    void call_connected(const Call& call) override;
    void chat(CallTracker::ChatDirection side, std::string_view text) override;

private:
    const SessionClock& clock_;
    std::vector<CallPart> calls_;
    // The other side's text arrives in pieces: a message is open until a
    // line break or our own message ends it.
    bool received_open_ = false;
};

// Frmconversation: the conversation in a window of its own.
class ConversationForm : public Form {
public:
    ConversationForm() : Form("Frmconversation", "Quillon -- Conversation") {
        add(txtconversation);
        txtconversation.read_only = true;
    }
    TextBox txtconversation{"txtconversation"};
};

} // namespace quillon
