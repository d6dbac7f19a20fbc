// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "base/call_events.h"
#include "session/call_tracker.h"

#include <functional>
#include <optional>
#include <string>

namespace quillon {

enum class CallState { no_port, modem_not_ready, idle, dialling, ringing, connected, sending, receiving, converting };

// What the status bar reads from the program at each refresh.
struct StatusReading {
    bool port_open = false;
    bool modem_ready = false;
    int port = 0;
    std::string device;
    bool dtr = false, dsr = false, dcd = false, ri = false;
    std::string dial_mode;      // "tone" or "pulse", maybe padded
    std::string operating_mode; // "chat" or "file transfer"
    std::string form;           // "binary" or "text" in file-transfer mode
    std::string send_file;      // what Send will send in file-transfer mode
    std::string redial;         // an automatic redial's countdown, while one runs

    bool operator==(const StatusReading&) const = default;
};

// The status bar's model: the call as the call tracker has it, the
// transfer told by the call events, the online time, and the port, lines
// and modes read from the program on every event, each second of a call
// and every two seconds outside one. The view only shows it.
class StatusModel : public CallEvents, public CallTracker::Listener {
public:
    // read fills in a reading, reusing the strings it already holds.
    StatusModel(EventLoop& loop, const CallTracker& calls, std::function<void(StatusReading&)> read);
    ~StatusModel() override;
    StatusModel(const StatusModel&) = delete;
    StatusModel& operator=(const StatusModel&) = delete;

    // Reads the program again; tells on_change when anything shown changed.
    void refresh();

    CallState state() const { return state_; }
    const StatusReading& reading() const { return reading_; }
    std::string call_text() const;   // "Dialling 5551002", "Idle (last dial: busy)" ...
    std::string online_text() const; // "00:01:05" while connected, else empty
    std::string port_text() const;      // "COMM1 ttyS0", "COMM3 127.0.0.1:7001" or "No port"
    std::string port_full_text() const; // "COMM1 /dev/ttyS0"
    std::string dial_mode_text() const;
    std::string mode_text() const; // "Chat" or "File transfer, binary: /home/ann/photo.bmp"

    // The view's one callback.
    std::function<void()> on_change;

    void call_began(const Call& call) override;
    void call_connected(const Call& call) override;
    void call_over(const Call& call) override;
    void call_ended(CallEnd why) override;
    void transfer_started(const TransferInfo& info) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;
    void converting(bool active) override;

private:
    enum class Activity { none, sending, receiving, converting };
    static Activity activity_of(const TransferInfo& info);
    CallState derive() const;
    std::string state_text() const;

    EventLoop& loop_;
    const CallTracker& calls_;
    std::function<void(StatusReading&)> read_;
    EventLoop::Handle timer_ = 0;
    bool timing_call_ = false; // the ticks follow a call's seconds

    Activity activity_ = Activity::none;
    std::string file_;
    std::optional<DialOutcome> last_outcome_;
    // "abandoned (The call ended)": a transfer that ended badly, said until
    // the next transfer or call.
    std::string last_transfer_;

    // What was last shown.
    StatusReading reading_;
    // The reading before last, kept for its strings' storage.
    StatusReading next_;
    CallState state_ = CallState::no_port;
    long online_seconds_ = -1;
    // An event changed what is shown since the last refresh.
    bool told_ = true;
};

} // namespace quillon
