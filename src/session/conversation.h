// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"
#include "base/shared_text.h"
#include "session/call_tracker.h"
#include "session/session_clock.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Both sides of this run's calls, from the events the session log writes
// down: each message with its time and side. The output box shows only
// what the other side sends; this is the whole conversation. The other
// side's text is not copied: it is quoted where line_buffer holds it, and
// kept with line_buffer's own string when that is emptied.
class Conversation : public CallTracker::Listener, public LineBufferSharer {
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

    Conversation(const SessionClock& clock, const std::string& line_buffer)
        : clock_(clock), line_buffer_(line_buffer) {}

    std::vector<CallPart> calls() const;
    // Every call's heading, then a line a message: "14:30:07 You: Hello".
    std::string text() const;
    std::function<void()> on_change;

    void call_connected(const Call& call) override;
    void chat(CallTracker::ChatDirection side, std::string_view text) override;

    bool refers_to_line_buffer() const override { return quotes_line_buffer_; }
    void line_buffer_let_go(const SharedText& text) override;

private:
    // Bytes of one side's messages: in own_ (sent text, and received text
    // found nowhere else) at source 0, in kept_[source - 1], or in
    // line_buffer at any source past those. A received stretch's line breaks
    // start new messages, at its time.
    struct Stretch {
        std::string time;
        CallTracker::ChatDirection side;
        std::size_t source, begin, end;
    };
    struct CallStretches {
        std::string heading;
        std::vector<Stretch> stretches;
    };

    std::string_view text_of(const Stretch& stretch) const;
    void add(CallTracker::ChatDirection side, std::size_t source, std::size_t begin, std::size_t end,
             bool starts_message);
    void add_received(std::string_view text);
    static void add_messages(CallPart& part, const Stretch& stretch, bool& open, std::string_view text);

    const SessionClock& clock_;
    const std::string& line_buffer_;
    std::vector<CallStretches> calls_;
    std::string own_;
    std::vector<SharedText> kept_;
    bool quotes_line_buffer_ = false;
    // The other side's text arrives in pieces: a message is open until a
    // line break or our own message ends it; a piece may end between the
    // CR and the LF.
    bool received_open_ = false;
    bool after_cr_ = false;
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
