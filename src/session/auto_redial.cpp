// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/auto_redial.h"

#include "base/dialogs.h"
#include "base/file_locations.h"
#include "base/ini_file.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "base/switches.h"
#include "base/text_number.h"
#include "modem/dialler.h"

#include <cmath>

namespace quillon {
namespace {

// A whole number in [low, high] under key, or fallback.
int read_count(const std::string& ini, const char* key, int low, int high, int fallback) {
    auto value = to_number(read_profile_string(ini, settings_section, key, "", 10).value);
    if (!value || *value < low || *value > high || *value != std::floor(*value)) return fallback;
    return static_cast<int>(*value);
}

} // namespace

std::string redial_countdown_text(const RedialCountdown& c) {
    return "Redial " + std::to_string(c.attempt) + " of " + std::to_string(c.tries) + " to " + c.number + " in " +
           std::to_string(c.seconds_left) + " s...";
}

AutoRedial::AutoRedial(EventLoop& loop, Dialogs& dialogs, const FileLocations& files, MainForm& form,
                       SharedState& state, Dialler& dialler)
    : loop_(loop), dialogs_(dialogs), files_(files), form_(form), state_(state), dialler_(dialler) {}

AutoRedial::~AutoRedial() {
    if (timer_) loop_.stop_timer(timer_);
}

void AutoRedial::load_settings() {
    std::string ini = files_.settings_file();
    on_ = read_switch(ini, "AUTOREDIAL", false);
    tries_ = read_count(ini, "REDIALTRIES", 1, 99, default_tries);
    wait_seconds_ = read_count(ini, "REDIALWAIT", 1, 3600, default_wait_seconds);
    form_.mnuautoredial.set_checked(on_);
}

void AutoRedial::mnuautoredial_Click() {
    on_ = !on_;
    form_.mnuautoredial.set_checked(on_);
    if (!on_) stop();
    store_switch(files_.settings_file(), dialogs_, "AUTOREDIAL", on_);
}

void AutoRedial::stop() {
    if (timer_) loop_.stop_timer(timer_);
    timer_ = 0;
    number_.clear();
    if (countdown_.active) set_countdown({});
}

void AutoRedial::call_began(const Call& call) {
    if (dialling_ourselves_) return;
    stop();
    if (call.direction == CallDirection::incoming) return;
    redials_done_ = 0;
    number_ = call.number;
}

// Only a dial that failed counts: a hang-up, a lost line or a call that
// connected ends the redials.
void AutoRedial::call_over(const Call& call) {
    if (call.direction == CallDirection::incoming || call.connected_at || !call.dial_outcome) {
        stop();
        return;
    }
    if (!on_ || *call.dial_outcome == DialOutcome::no_dial_tone || number_.empty() || redials_done_ >= tries_) {
        stop();
        return;
    }
    timer_ = loop_.start_timer(1000, [this] { tick(); });
    set_countdown({true, number_, wait_seconds_, redials_done_ + 1, tries_});
}

void AutoRedial::tick() {
    RedialCountdown next = countdown_;
    if (--next.seconds_left > 0) {
        set_countdown(next);
        return;
    }
    loop_.stop_timer(timer_);
    timer_ = 0;
    redial();
}

// The dial button's own work, so the line gets exactly what a press would
// write. A number the user has started meanwhile is theirs: no redial.
void AutoRedial::redial() {
    SharedState& s = state_;
    if (!s.dial_number.empty() || s.modem_ready == 0) {
        stop();
        return;
    }
    ++redials_done_;
    set_countdown({});
    s.dial_number = number_;
    struct Ours {
        bool& flag;
        explicit Ours(bool& f) : flag(f) { flag = true; }
        ~Ours() { flag = false; }
    } ours(dialling_ourselves_);
    dialler_.cmddial_Click();
}

void AutoRedial::set_countdown(RedialCountdown countdown) {
    countdown_ = std::move(countdown);
    if (on_countdown) on_countdown(countdown_);
}

} // namespace quillon
