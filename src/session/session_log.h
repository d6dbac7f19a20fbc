// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/call_tracker.h"
#include "session/session_clock.h"

#include <fstream>
#include <functional>
#include <string>
#include <string_view>

namespace quillon {

// The session log: every call written down as it goes, in a plain UTF-8
// file per day ("2026-12-07.log") in its folder. A log that cannot be
// written is reported once per run and never stops a call. Lines reach the
// disk at most a second after they are written, and at every call's end.
class SessionLog : public CallTracker::Listener {
public:
    SessionLog(std::string folder, const SessionClock& clock, EventLoop& loop);
    ~SessionLog() override;

    const std::string& folder() const { return folder_; }
    // Creates the folder, so there is something to open; false on failure.
    bool make_folder();
    void set_enabled(bool on) { enabled_ = on; }

    // Told, once per run, what could not be written.
    std::function<void(const std::string&)> on_failure;

    void call_began(const Call& call) override;
    void call_connected(const Call& call) override;
    void call_over(const Call& call) override;
    void chat(CallTracker::ChatDirection direction, std::string_view text) override;
    void transfer_began(const Transfer& transfer) override;
    void transfer_over(const Transfer& transfer) override;

    // What a box said where no one was there to read it.
    void message(const std::string& text);

    // Puts everything written so far on disk, received chat still open
    // included; for the program's end, which runs no destructor.
    void flush();

private:
    // A line of the log stamped now, after any received chat still open.
    void note(const std::string& text);
    void write_line(const std::string& time, std::string_view text);
    void write_chat(char mark, const std::string& time, std::string_view text);
    void flush_received();
    void flush_file();
    bool open();
    void fail(const std::string& path);

    std::string folder_;
    const SessionClock& clock_;
    EventLoop& loop_;
    // The timer that flushes what was written within the last second.
    bool flush_due_ = false;
    EventLoop::Handle flush_timer_{};
    bool enabled_ = true;
    bool reported_ = false;
    std::ofstream out_;
    // Received chat not yet ended by CR LF, and when it began to arrive.
    std::string received_;
    std::string received_time_;
};

// Text from the line or a file (chat, names, numbers) as part of one line
// of the log a terminal can show: C0 and C1 controls, DEL, backslashes and
// bytes that are not UTF-8 as C-style escapes.
std::string log_escaped(std::string_view text);

} // namespace quillon
