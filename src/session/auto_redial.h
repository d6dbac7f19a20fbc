// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "session/call_tracker.h"

#include <functional>
#include <string>

namespace quillon {

class Dialler;
class Dialogs;
class FileLocations;
class MainForm;
struct SharedState;

// Where automatic redial stands, for whatever shows it.
struct RedialCountdown {
    bool active = false;
    std::string number;
    int seconds_left = 0;
    int attempt = 0; // the redial that comes when the countdown ends, from 1
    int tries = 0;   // redials allowed after the user's own dial
};

// "Redial 2 of 10 in 30 s..."
std::string redial_countdown_text(const RedialCountdown& countdown);

// Dials a number the user dialled once more, after a wait, when the call
// ends busy, unanswered or without a carrier; a connection, Cancel, a
// keypad press or an incoming ring stops it. Settings AUTOREDIAL,
// REDIALTRIES and REDIALWAIT in the [Quillon] section of quillon.ini.
class AutoRedial : public CallTracker::Listener {
public:
    static constexpr int default_tries = 10;
    static constexpr int default_wait_seconds = 30;

    AutoRedial(EventLoop& loop, Dialogs& dialogs, const FileLocations& files, MainForm& form, SharedState& state,
               Dialler& dialler);
    ~AutoRedial() override;
    AutoRedial(const AutoRedial&) = delete;
    AutoRedial& operator=(const AutoRedial&) = delete;

    // Reads the settings and ticks the menu item to match.
    void load_settings();
    // "Redial When Busy": switches on or off and keeps the choice in quillon.ini.
    void mnuautoredial_Click();
    // Ends a countdown and forgets the number.
    void stop();

    const RedialCountdown& countdown() const { return countdown_; }
    // Told whenever the countdown starts, ticks or ends.
    std::function<void(const RedialCountdown&)> on_countdown;

    void call_began(const Call& call) override;
    void call_connected(const Call&) override { stop(); }
    void call_over(const Call& call) override;

private:
    void tick();
    void redial();
    void set_countdown(RedialCountdown countdown);

    EventLoop& loop_;
    Dialogs& dialogs_;
    const FileLocations& files_;
    MainForm& form_;
    SharedState& state_;
    Dialler& dialler_;
    bool on_ = false;
    int tries_ = default_tries;
    int wait_seconds_ = default_wait_seconds;
    // The number the user dialled, while a dial of it may still fail.
    std::string number_;
    bool dialling_ourselves_ = false;
    int redials_done_ = 0;
    RedialCountdown countdown_;
    EventLoop::Handle timer_ = 0;
};

} // namespace quillon
