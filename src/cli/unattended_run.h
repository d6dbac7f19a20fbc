// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"
#include "base/call_events.h"
#include "base/poll_event_loop.h"

#include <string>

namespace quillon {

class Program;

// Works a program core as a person at the window would, from a command
// line: dials and sends the files in turn, or answers and counts calls;
// ends with the exit status that says how it went.
class UnattendedRun : private CallEvents {
public:
    UnattendedRun(Program& program, PollEventLoop& loop, const UnattendedRequest& request);
    ~UnattendedRun() override;
    UnattendedRun(const UnattendedRun&) = delete;
    UnattendedRun& operator=(const UnattendedRun&) = delete;

    int run();

private:
    bool open_port();
    void tick();
    void send_next_file();
    void hang_up();
    void finish(int status, const std::string& words = {});
    void stop_on_signal(int signal_number);
    void received(const std::string& path);
    void maybe_done_answering();
    void follow_protocol_session();

    void dial_failed(DialOutcome outcome) override;
    void connected() override;
    void call_ended(CallEnd why) override;
    void transfer_started(const TransferInfo& info) override;
    void transfer_progress(std::int64_t done, std::int64_t total) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;
    void converting(bool active) override;

    Program& p_;
    PollEventLoop& loop_;
    const UnattendedRequest& r_;
    EventLoop::Handle timer_ = 0;
    int status_ = exit_status::done;
    bool finished_ = false;
    bool dialled_ = false;
    bool in_call_ = false;
    std::size_t next_file_ = 0;
    int calls_ = 0;
    int failures_ = 0;
    bool converting_ = false;
    std::string awaiting_conversion_;
    std::string transfer_name_;
    // ZMODEM, YMODEM or XMODEM: files of the session still to be sent.
    bool in_session_ = false;
    std::size_t session_files_left_ = 0;
    // Said once the session is over: hanging up inside it would end it.
    std::string session_failure_;
    // Whether any of the file being received has come.
    bool arrived_ = false;
    double started_ = 0;
    double last_activity_ = 0;
    double last_progress_line_ = 0;
    bool progress_to_terminal_ = false;
};

// Builds a program core on a poll loop, without a window or a display,
// and does what the request asks; the exit status.
int run_unattended(const UnattendedRequest& request);

} // namespace quillon
