// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/modes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// How a dial attempt ended without a connection.
enum class DialOutcome { busy, no_dial_tone, no_carrier, no_answer };

// Why a call (or a dial attempt) ended.
enum class CallEnd {
    carrier_lost, // the peer hung up or the line went
    hung_up,      // the user pressed Cancel
    went_offline, // the receiver chose to go offline after a transfer
    port_lost,    // the device failed or was closed under the call
};

enum class TransferDirection { sending, receiving };
enum class TransferOutcome { complete, failed, abandoned };

struct TransferInfo {
    TransferDirection direction = TransferDirection::sending;
    std::string file_name;   // the local file: sent from, or saved to
    FileForm form = FileForm::none;
    std::int64_t size = 0;   // announced or known size in bytes
};

// What happens to calls, told by the handlers as it happens. The status
// model, the session log, the call history, the notifier and automatic
// redial listen to it; the handlers never call any of them by name.
class CallEvents {
public:
    virtual ~CallEvents() = default;

    // The user dialled (dial button, redial button, automatic redial).
    virtual void dialling(const std::string& /*number*/) {}
    virtual void dial_failed(DialOutcome) {}
    // The modem reported RING; caller_id when it also gave "NMBR = ...".
    virtual void ringing() {}
    virtual void caller_id(const std::string& /*number*/) {}
    virtual void connected() {}
    virtual void call_ended(CallEnd) {}

    virtual void chat_sent(std::string_view /*text*/) {}
    virtual void chat_received(std::string_view /*text*/) {}

    virtual void transfer_started(const TransferInfo&) {}
    // In the reporter's own units (bytes read, characters stored): a fraction.
    virtual void transfer_progress(std::int64_t /*done*/, std::int64_t /*total*/) {}
    // Ends the transfer last started. The step that tells it may no longer
    // know everything, so listeners hold on to the info they were started with.
    virtual void transfer_ended(const TransferInfo&, TransferOutcome, const std::string& /*detail*/) {}
    virtual void converting(bool /*active*/) {}
};

// The one feed the handlers tell: passes every event on to each listener
// in the order they subscribed.
class CallEventHub : public CallEvents {
public:
    void subscribe(CallEvents& listener) { listeners_.push_back(&listener); }

    void dialling(const std::string& number) override { each(&CallEvents::dialling, number); }
    void dial_failed(DialOutcome outcome) override { each(&CallEvents::dial_failed, outcome); }
    void ringing() override { each(&CallEvents::ringing); }
    void caller_id(const std::string& number) override { each(&CallEvents::caller_id, number); }
    void connected() override { each(&CallEvents::connected); }
    void call_ended(CallEnd why) override { each(&CallEvents::call_ended, why); }
    void chat_sent(std::string_view text) override { each(&CallEvents::chat_sent, text); }
    void chat_received(std::string_view text) override { each(&CallEvents::chat_received, text); }
    void transfer_started(const TransferInfo& info) override { each(&CallEvents::transfer_started, info); }
    void transfer_progress(std::int64_t done, std::int64_t total) override {
        each(&CallEvents::transfer_progress, done, total);
    }
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override {
        each(&CallEvents::transfer_ended, info, outcome, detail);
    }
    void converting(bool active) override { each(&CallEvents::converting, active); }

private:
    template <typename Method, typename... Args> void each(Method method, const Args&... args) {
        // A copy: a listener may subscribe another while being told.
        std::vector<CallEvents*> listeners = listeners_;
        for (CallEvents* listener : listeners) (listener->*method)(args...);
    }

    std::vector<CallEvents*> listeners_;
};

} // namespace quillon
