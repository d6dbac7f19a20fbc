// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "session/call_tracker.h"

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
    // The calls' numbers come from the tracker, which must hear of each
    // event first.
    explicit CallNotices(const CallTracker& calls) : calls_(calls) {}
    // Says nothing until it has a notifier.
    void set_notifier(Notifier* notifier) { notifier_ = notifier; }

    void ringing() override;
    void caller_id(const std::string& number) override;
    void connected() override;
    void call_ended(CallEnd) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;

private:
    // False when nothing was shown.
    bool say(const std::string& summary, const std::string& body, bool replace_last = false);
    void forget_call();
    // The other party's number, as dialled or as the caller-ID lines gave it.
    std::string number() const;

    const CallTracker& calls_;
    Notifier* notifier_ = nullptr;
    bool ringing_ = false;
    bool ring_told_ = false;
    // The number the ring notice showed.
    std::string announced_;
};

} // namespace quillon
