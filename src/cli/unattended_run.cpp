// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/unattended_run.h"

#include "addressbook/sqlite_address_store.h"
#include "app/program.h"
#include "app/settings.h"
#include "base/program_end.h"
#include "base/text_number.h"
#include "cli/console_dialogs.h"
#include "cli/stop_signals.h"
#include "modem/device_opener.h"
#include "modem/dial_number.h"
#include "modem/tty_lock.h"
#include "transfer/download_folder.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace quillon {

namespace {

// A transfer with no block either way for this long is given up: nobody is
// there to press the cancel button.
constexpr double quiet_limit_s = 120;
// A modem that has not said it is ready by then is not going to.
constexpr double modem_ready_limit_s = 30;

void say(const std::string& text) { std::fprintf(stderr, "quillon: %s\n", text.c_str()); }

std::string base_name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

} // namespace

UnattendedRun::UnattendedRun(Program& program, PollEventLoop& loop, const UnattendedRequest& request)
    : p_(program), loop_(loop), r_(request), progress_to_terminal_(isatty(STDERR_FILENO) == 1) {
    p_.events.subscribe(*this);
}

UnattendedRun::~UnattendedRun() {
    if (timer_) loop_.stop_timer(timer_);
}

int UnattendedRun::run() {
    if (!p_.instance.held()) {
        std::string settings = p_.files.settings_file();
        say("Quillon already runs with the files in " + settings.substr(0, settings.rfind('/')) +
            "; use its window, or end it first");
        return exit_status::already_running;
    }
    if (!r_.dial.empty() && !dial_string(r_.dial)) {
        say(r_.dial + " is not a number that can be dialled");
        return exit_status::usage;
    }
    if (!r_.receive_into.empty() && !std::filesystem::is_directory(r_.receive_into)) {
        say(r_.receive_into + " is not a folder");
        return exit_status::usage;
    }
    try {
        if (!open_port()) return status_;
        StopSignals signals(loop_, [this](int s) { stop_on_signal(s); });
        p_.main_window.Form_Load();
        p_.protocols.receive_into(r_.receive_into.empty() ? download_folder() : r_.receive_into);
        started_ = loop_.monotonic();
        timer_ = loop_.start_timer(200, [this] { tick(); });
        if (r_.dial.empty()) say("waiting for calls");
        while (!finished_) loop_.wait_for_events(1.0);
    } catch (const ProgramEnd& end) {
        status_ = end.status;
    }
    p_.transfer.call_lost();
    if (p_.MSComm1.port_open()) p_.MSComm1.set_port_open(false);
    // A reception cut short leaves nothing behind.
    std::remove(p_.files.spool_file().c_str());
    return status_;
}

bool UnattendedRun::open_port() {
    int port = 0;
    if (r_.port) {
        port = *r_.port;
    } else {
        std::string value;
        try {
            read_setting(p_, "PORTNO.", value);
        } catch (const std::exception&) {
        }
        auto n = to_number(value);
        if (!n || *n < 1 || *n > 4) {
            finish(exit_status::usage, "no port is set in " + p_.files.settings_file() + "; give --port N");
            return false;
        }
        port = static_cast<int>(*n);
    }
    try {
        p_.MSComm1.set_comm_port(port);
        p_.MSComm1.set_port_open(true);
    } catch (const std::exception& e) {
        finish(exit_status::port_failed, "port " + std::to_string(port) + " (" + p_.MSComm1.device_of(port) +
                                             ") cannot be opened: " + e.what());
        return false;
    }
    // Used, not chosen: the settings file keeps its own port.
    p_.state.port_number = std::to_string(port);
    p_.state.port_number_from_file = true;
    return true;
}

void UnattendedRun::tick() {
    SharedState& s = p_.state;
    if (!r_.dial.empty() && !dialled_ && s.modem_ready == 1 && !p_.comm_handler.call_up()) {
        dialled_ = true;
        say("dialling " + r_.dial);
        s.dial_number = r_.dial;
        p_.frmmain.cmddial.on_click();
    } else if (!r_.dial.empty() && !dialled_ && loop_.monotonic() - started_ > modem_ready_limit_s) {
        finish(exit_status::port_failed, "the modem on port " + p_.state.port_number + " is not ready");
    }
    follow_protocol_session();
    if (p_.transfer.in_progress() && loop_.monotonic() - last_activity_ > quiet_limit_s) {
        ++failures_;
        hang_up();
        finish(exit_status::transfer_failed, "nothing came from the other side for " +
                                                 std::to_string(static_cast<int>(quiet_limit_s)) + " s; hung up");
    }
}

void UnattendedRun::dial_failed(DialOutcome outcome) {
    switch (outcome) {
    case DialOutcome::busy: return finish(exit_status::busy, r_.dial + " is busy");
    case DialOutcome::no_answer: return finish(exit_status::no_connection, r_.dial + " does not answer");
    case DialOutcome::no_carrier: return finish(exit_status::no_connection, "no carrier from " + r_.dial);
    case DialOutcome::no_dial_tone: return finish(exit_status::no_connection, "no dial tone on the line");
    }
}

void UnattendedRun::connected() {
    in_call_ = true;
    last_activity_ = loop_.monotonic();
    say(r_.dial.empty() ? "call answered" : "connected to " + r_.dial);
    if (!r_.dial.empty()) loop_.post([this] { send_next_file(); });
}

void UnattendedRun::send_next_file() {
    if (finished_) return;
    if (next_file_ == r_.send.size()) {
        hang_up();
        return finish(exit_status::done, "all sent; hung up");
    }
    SharedState& s = p_.state;
    s.file_mode = r_.form;
    s.current_mode = OperatingMode::file_transfer;
    s.send_filename = r_.send[next_file_];
    last_activity_ = loop_.monotonic();
    if (!ProtocolTransfer::is_protocol_form(r_.form)) {
        ++next_file_;
        return p_.frmmain.cmdsend.on_click();
    }
    // XMODEM carries one file a session; the others carry them all.
    const std::size_t n = r_.form == FileForm::xmodem ? 1 : r_.send.size() - next_file_;
    const auto first = r_.send.begin() + static_cast<std::ptrdiff_t>(next_file_);
    next_file_ += n;
    if (!p_.protocols.send_files({first, first + static_cast<std::ptrdiff_t>(n)})) {
        hang_up();
        return finish(exit_status::transfer_failed, "sending " + base_name(*first) + " failed");
    }
    in_session_ = true;
    session_files_left_ = n;
    session_failure_.clear();
}

// A sending session that has ended goes on with the next files once each
// of its own was sent; an answering call is kept ready for the next one.
void UnattendedRun::follow_protocol_session() {
    if (finished_ || !in_call_ || p_.protocols.running()) return;
    if (in_session_) {
        in_session_ = false;
        if (session_failure_.empty() && session_files_left_ == 0) return send_next_file();
        hang_up();
        return finish(exit_status::transfer_failed, session_failure_.empty()
                                                        ? "the session ended before every file was sent"
                                                        : session_failure_);
    }
    if (r_.dial.empty() && (r_.form == FileForm::ymodem || r_.form == FileForm::xmodem) && !p_.transfer.in_progress()) {
        p_.state.file_mode = r_.form;
        p_.frmmain.mnureceiveprotocol.on_click();
    }
}

void UnattendedRun::call_ended(CallEnd) {
    if (!in_call_) return;
    in_call_ = false;
    if (!r_.dial.empty()) {
        if (!finished_) finish(exit_status::transfer_failed, "the call to " + r_.dial + " ended before every file was sent");
        return;
    }
    ++calls_;
    say("call " + std::to_string(calls_) + " of " + std::to_string(r_.calls) + " ended");
    maybe_done_answering();
}

void UnattendedRun::maybe_done_answering() {
    if (calls_ < r_.calls || converting_ || finished_) return;
    if (failures_ > 0) finish(exit_status::transfer_failed, std::to_string(failures_) + " transfer(s) failed");
    else finish(exit_status::done);
}

void UnattendedRun::transfer_started(const TransferInfo& info) {
    transfer_name_ = base_name(info.file_name);
    arrived_ = false;
    last_activity_ = loop_.monotonic();
}

void UnattendedRun::transfer_progress(std::int64_t done, std::int64_t total) {
    last_activity_ = loop_.monotonic();
    arrived_ = arrived_ || done > 0;
    if (!progress_to_terminal_ || total <= 0 || last_activity_ - last_progress_line_ < 1) return;
    last_progress_line_ = last_activity_;
    say(transfer_name_ + ": " + std::to_string(done * 100 / total) + " %");
}

void UnattendedRun::transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) {
    const bool sending = info.direction == TransferDirection::sending;
    // An XMODEM reception waits with its file open: ended with nothing of
    // it come (the caller hung up, or sent nothing), no file failed.
    if (outcome != TransferOutcome::complete && !sending && info.form == FileForm::xmodem && !arrived_) return;
    if (outcome != TransferOutcome::complete) {
        ++failures_;
        std::string what = (sending ? "sending " : "receiving ") + base_name(info.file_name) + " failed" +
                           (detail.empty() ? "" : ": " + detail);
        if (!sending) return say(what);
        if (ProtocolTransfer::is_protocol_form(info.form)) {
            session_failure_ = what;
            return loop_.post([this] { follow_protocol_session(); });
        }
        hang_up();
        return finish(exit_status::transfer_failed, what);
    }
    if (sending) {
        say("sent " + info.file_name);
        if (!ProtocolTransfer::is_protocol_form(r_.form)) return loop_.post([this] { send_next_file(); });
        --session_files_left_;
        // At once, so that the next session is ready for the peer's first word.
        loop_.post([this] { follow_protocol_session(); });
    } else if (info.form == FileForm::binary) {
        // Whole once the reconversion has put it in place.
        awaiting_conversion_ = info.file_name;
    } else {
        received(info.file_name);
        loop_.post([this] { follow_protocol_session(); });
    }
}

void UnattendedRun::converting(bool active) {
    converting_ = active;
    if (active || awaiting_conversion_.empty()) return;
    std::string path = std::exchange(awaiting_conversion_, {});
    if (std::filesystem::exists(path)) {
        received(path);
    } else {
        ++failures_;
        say(path + " could not be converted");
    }
    maybe_done_answering();
}

void UnattendedRun::received(const std::string& path) { say("received " + path); }

// The end of the call it brings is asked for, and no failure.
void UnattendedRun::hang_up() {
    bool up = in_call_ || (dialled_ && !finished_);
    in_call_ = false;
    if (up) p_.frmmain.cmdcan.on_click();
}

void UnattendedRun::stop_on_signal(int signal_number) {
    if (finished_) return;
    // A second signal while hanging up changes nothing.
    say(std::string("ended by ") + (signal_number == SIGINT ? "SIGINT" : "SIGTERM") + "; hanging up");
    hang_up();
    finish(128 + signal_number);
}

void UnattendedRun::finish(int status, const std::string& words) {
    if (finished_) return;
    if (!words.empty()) say(words);
    finished_ = true;
    status_ = status;
}

int run_unattended(const UnattendedRequest& request) {
    PollEventLoop loop;
    ConsoleDialogs dialogs(request.receive_into);
    NoMedia media;
    std::error_code ec;
    std::string program_dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    try {
        Program program(Platform{loop, dialogs, media, make_device_opener(loop),
                                 [] { return make_sqlite_address_store(); },
                                 FileLocations::choose(program_dir, user_folders(std::getenv)), "/dev"});
        // What the boxes say goes into the session log too.
        dialogs.also_to = [&program](const std::string& line) { program.session_log.message(line); };
        UnattendedRun run(program, loop, request);
        int status = run.run();
        dialogs.also_to = nullptr;
        return status;
    } catch (const ProgramEnd& end) {
        remove_held_tty_locks();
        return end.status;
    }
}

} // namespace quillon
