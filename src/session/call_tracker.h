// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "session/modem_words_holdback.h"
#include "session/session_clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class CallDirection { outgoing, incoming };
enum class CallResult { connected, busy, no_dial_tone, no_carrier, no_answer, cancelled };

// "connected", "busy", "no dial tone", "no carrier", "no answer", "cancelled".
const char* result_text(CallResult result);
CallResult result_of(DialOutcome outcome);

// One call, from the first dial or ring to its end.
struct Call {
    CallDirection direction = CallDirection::outgoing;
    std::string number; // empty for an incoming call without caller id
    std::string date;   // when it began, "2026-12-07"
    std::string time;   // and "14:30:05"
    double began = 0;   // monotonic seconds
    std::optional<double> connected_at;
    double ended = 0;
    CallResult result = CallResult::connected;
    std::optional<DialOutcome> dial_outcome; // what the modem answered a dial that failed
    std::string end_reason;                  // why it ended, in words
    std::int64_t bytes_sent = 0;
    std::int64_t bytes_received = 0;

    // Whole seconds connected; 0 for a call that never connected.
    long duration_seconds() const;
};

// One file transfer as it went.
struct Transfer {
    TransferInfo info;
    double began = 0;
    double ended = 0;
    TransferOutcome outcome = TransferOutcome::complete;
    std::string detail;
    // Progress in the reporter's own units; only the fraction counts.
    std::int64_t done = 0;
    std::int64_t total = 0;

    // File bytes moved: all of them when complete, else the share done.
    std::int64_t bytes_moved() const;
};

// Turns the raw call events into calls that begin once and end once. The
// handlers may tell an end twice (a hang-up, then the carrier going) or a
// dial outcome with no dial (the modem's NO CARRIER after a hang-up); only
// the first end of a call that is up counts.
class CallTracker : public CallEvents {
public:
    enum class ChatDirection { sent, received };

    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void call_began(const Call&) {}
        virtual void call_connected(const Call&) {}
        virtual void call_over(const Call&) {}
        virtual void chat(ChatDirection, std::string_view /*text*/) {}
        virtual void transfer_began(const Transfer&) {}
        virtual void transfer_over(const Transfer&) {}
    };

    explicit CallTracker(const SessionClock& clock) : clock_(clock) {}
    void add_listener(Listener& listener) { listeners_.push_back(&listener); }
    const std::optional<Call>& current() const { return call_; }

    void dialling(const std::string& number) override;
    void dial_failed(DialOutcome outcome) override;
    void ringing() override;
    void caller_id(const std::string& number) override;
    void connected() override;
    void call_ended(CallEnd why) override;
    void chat_sent(std::string_view text) override;
    void chat_received(std::string_view text) override;
    void transfer_started(const TransferInfo& info) override;
    void transfer_progress(std::int64_t done, std::int64_t total) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;

private:
    void begin(CallDirection direction, const std::string& number);
    void end(CallResult result, std::string reason, bool carrier_lost = false);
    void received(std::string_view text);

    const SessionClock& clock_;
    std::vector<Listener*> listeners_;
    std::optional<Call> call_;
    std::optional<Transfer> transfer_;
    ModemWordsHoldback modem_words_;
};

} // namespace quillon
