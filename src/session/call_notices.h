// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"

#include <cstdint>
#include <string>

namespace quillon {

class Notifier;

// "12.1 KB": a size as people read it.
std::string readable_size(std::int64_t bytes);

// Decides what the desktop is told while the main window is in the
// background: an incoming call (with the caller's number when the modem
// gives it), a connection, a file received, a transfer failed.
class CallNotices : public CallEvents {
public:
    // Says nothing until it has a notifier.
    void set_notifier(Notifier* notifier) { notifier_ = notifier; }

    void dialling(const std::string& number) override;
    void dial_failed(DialOutcome) override { forget_call(); }
    void ringing() override;
    void caller_id(const std::string& number) override;
    void connected() override;
    void call_ended(CallEnd) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;

private:
    // False when nothing was shown.
    bool say(const std::string& summary, const std::string& body, bool replace_last = false);
    void forget_call();

    Notifier* notifier_ = nullptr;
    // The other party's number, as dialled or as the caller-ID lines gave it.
    std::string number_;
    bool ringing_ = false;
    bool ring_told_ = false;
};

} // namespace quillon
