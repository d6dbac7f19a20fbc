// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_tracker.h"

namespace quillon {

CallResult result_of(DialOutcome outcome) {
    switch (outcome) {
    case DialOutcome::busy: return CallResult::busy;
    case DialOutcome::no_dial_tone: return CallResult::no_dial_tone;
    case DialOutcome::no_carrier: return CallResult::no_carrier;
    case DialOutcome::no_answer: return CallResult::no_answer;
    }
    return CallResult::no_carrier;
}

namespace {

const char* reason_text(CallEnd why) {
    switch (why) {
    case CallEnd::carrier_lost: return "carrier lost";
    case CallEnd::hung_up: return "hung up";
    case CallEnd::went_offline: return "went offline";
    case CallEnd::port_lost: return "port lost";
    }
    return "";
}

} // namespace

const char* result_text(CallResult result) {
    switch (result) {
    case CallResult::connected: return "connected";
    case CallResult::busy: return "busy";
    case CallResult::no_dial_tone: return "no dial tone";
    case CallResult::no_carrier: return "no carrier";
    case CallResult::no_answer: return "no answer";
    case CallResult::cancelled: return "cancelled";
    }
    return "";
}

long Call::duration_seconds() const {
    return connected_at ? static_cast<long>(ended - *connected_at) : 0;
}

std::int64_t Transfer::bytes_moved() const {
    if (outcome == TransferOutcome::complete) return info.size;
    if (total <= 0) return 0;
    return static_cast<std::int64_t>(static_cast<double>(info.size) * static_cast<double>(done) /
                                     static_cast<double>(total));
}

void CallTracker::begin(CallDirection direction, const std::string& number) {
    call_ = Call{};
    call_->direction = direction;
    call_->number = number;
    call_->date = clock_.date();
    call_->time = clock_.time_of_day();
    call_->began = clock_.monotonic();
    for (Listener* l : listeners_)
        l->call_began(*call_);
}

void CallTracker::end(CallResult result, std::string reason, bool carrier_lost) {
    received(modem_words_.release(carrier_lost));
    Call over = std::move(*call_);
    call_.reset();
    over.ended = clock_.monotonic();
    over.result = result;
    over.end_reason = std::move(reason);
    for (Listener* l : listeners_)
        l->call_over(over);
}

void CallTracker::dialling(const std::string& number) {
    // Typed into a call that is up, a dial command is only data.
    if (call_ && call_->connected_at) return;
    if (call_) end(CallResult::cancelled, "dialled again");
    begin(CallDirection::outgoing, number);
}

void CallTracker::dial_failed(DialOutcome outcome) {
    if (!call_ || call_->connected_at) return;
    call_->dial_outcome = outcome;
    CallResult result = result_of(outcome);
    end(result, result_text(result));
}

void CallTracker::ringing() {
    if (!call_) begin(CallDirection::incoming, "");
}

void CallTracker::caller_id(const std::string& number) {
    if (call_ && call_->direction == CallDirection::incoming && call_->number.empty()) call_->number = number;
}

void CallTracker::connected() {
    if (!call_) begin(CallDirection::incoming, "");
    if (call_->connected_at) return;
    call_->connected_at = clock_.monotonic();
    for (Listener* l : listeners_)
        l->call_connected(*call_);
}

void CallTracker::call_ended(CallEnd why) {
    if (!call_) return;
    CallResult result = call_->connected_at                                       ? CallResult::connected
                        : why == CallEnd::hung_up || why == CallEnd::went_offline ? CallResult::cancelled
                                                                                  : CallResult::no_carrier;
    end(result, reason_text(why), why == CallEnd::carrier_lost);
}

// What the modem says once the call is over (OK, NO CARRIER) is no chat,
// nor is its NO CARRIER just before the carrier check ends the call.
void CallTracker::chat_sent(std::string_view text) {
    if (!call_) return;
    call_->bytes_sent += static_cast<std::int64_t>(text.size());
    for (Listener* l : listeners_)
        l->chat(ChatDirection::sent, text);
}

void CallTracker::chat_received(std::string_view text) {
    if (call_) received(modem_words_.pass(text));
}

void CallTracker::received(std::string_view text) {
    if (text.empty()) return;
    call_->bytes_received += static_cast<std::int64_t>(text.size());
    for (Listener* l : listeners_)
        l->chat(ChatDirection::received, text);
}

void CallTracker::transfer_started(const TransferInfo& info) {
    transfer_ = Transfer{};
    transfer_->info = info;
    transfer_->began = clock_.monotonic();
    for (Listener* l : listeners_)
        l->transfer_began(*transfer_);
}

void CallTracker::transfer_progress(std::int64_t done, std::int64_t total) {
    if (!transfer_) return;
    transfer_->done = done;
    transfer_->total = total;
}

// Ends the transfer last started; the reporting step may no longer know
// all of its info, so the started one stands. A reception given up before
// its form was known never started here.
void CallTracker::transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) {
    if (!transfer_ || transfer_->info.direction != info.direction) return;
    Transfer over = std::move(*transfer_);
    transfer_.reset();
    over.ended = clock_.monotonic();
    over.outcome = outcome;
    over.detail = detail;
    if (call_) {
        auto& count = over.info.direction == TransferDirection::sending ? call_->bytes_sent : call_->bytes_received;
        count += over.bytes_moved();
    }
    for (Listener* l : listeners_)
        l->transfer_over(over);
}

} // namespace quillon
