// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/file_receiver.h"

#include "base/hex_codec.h"
#include "base/private_files.h"
#include "base/text_number.h"
#include "transfer/destination_check.h"
#include "transfer/download_folder.h"
#include "transfer/transfer_frames.h"
#include "transfer/transfer_report.h"

#include <cstdio>
#include <stdexcept>

namespace quillon {

namespace {
struct ReceiveFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int now_in_seconds(EventLoop& loop) { return static_cast<int>(round_half_even(loop.time_of_day())); }

// Marks a stretch during which arriving frames are not taken as steps.
struct Stepping {
    explicit Stepping(bool& flag) : flag_(flag) { flag_ = true; }
    ~Stepping() { flag_ = false; }
    bool& flag_;
};
} // namespace

FileReceiver::FileReceiver(EventLoop& loop, Dialogs& dialogs, const FileLocations& files, MainForm& form,
                           SharedState& state, CallEvents& events, SerialControl& line, FormTimer& block_timer,
                           Dialler& dialler, Reconversion& reconversion,
                           std::function<bool(const std::string& path)> is_own_file)
    : loop_(loop), dialogs_(dialogs), files_(files), form_(form), state_(state), events_(events), line_(line),
      block_timer_(block_timer), dialler_(dialler), reconversion_(reconversion),
      is_own_file_(std::move(is_own_file)) {}

FileReceiver::~FileReceiver() { *alive_ = false; }

void FileReceiver::receive_file() {
    rx_block_size = frames::full_frame_size;
    if (stepping_) {
        take_out_of_turn();
        return;
    }
    if (state_.recv_block == 2 && passing_over_failed_transfer()) {
        state_.recv_block = 1;
        state_.rx_buffer.clear();
        return;
    }
    Stepping stepping(stepping_);
    run_step();
    while (opening_deferred_ && state_.recv_block == 1) {
        opening_deferred_ = false;
        state_.recv_block = 2;
        run_step();
    }
    opening_deferred_ = false;
}

void FileReceiver::run_step() {
    const unsigned reception = reception_;
    try {
        switch (state_.recv_block) {
        case 2: opening_step(); break;
        case 3: length_step(); break;
        case 4: name_step(); break;
        case 5: form_step(); break;
        default:
            // The form this reception adopted, whatever the menu says now.
            if (text_output_.is_open()) text_data_step();
            else if (spool_.is_open()) binary_data_step();
            break;
        }
    } catch (const std::exception&) {
        if (reception == reception_) failed();
    }
}

void FileReceiver::failed() {
    abandon("Receiving failed.", TransferOutcome::failed);
    failed_transfer_frame_ = loop_.monotonic();
    dialogs_.message("Unexpected error while receiving! Cannot continue.", Icon::stop);
}

// The rest of a failed transfer may still be on its way (a sender that
// does not wait for requests, or frames already sent): none of it opens a
// reception, with a second box. A sender only opens anew with an empty
// frame after the user on its side has seen the stall, so the first empty
// frame after a quiet spell is a new transfer.
bool FileReceiver::passing_over_failed_transfer() {
    if (!failed_transfer_frame_) return false;
    const double now = loop_.monotonic();
    auto text = frame_payload(state_.rx_buffer);
    if (now - *failed_transfer_frame_ >= quiet_after_failure_s && text && text->empty()) {
        failed_transfer_frame_.reset();
        return false;
    }
    failed_transfer_frame_ = now;
    return true;
}

// A frame arrived while a step waited for the user or the line. The sender
// only ever answers a request, so this one is out of turn; an opening frame
// is kept for when the step is over.
void FileReceiver::take_out_of_turn() {
    auto text = frame_payload(state_.rx_buffer);
    const bool opening = text && text->empty();
    state_.rx_buffer.clear();
    if (state_.recv_block > 2) abandon("The other side sent a frame out of turn.");
    state_.recv_block = 1;
    opening_deferred_ = opening;
}

bool FileReceiver::active() const { return state_.recv_block >= 2; }
bool FileReceiver::waiting_for_peer() const { return active() && !stepping_; }

std::string_view FileReceiver::payload() const {
    auto text = frame_payload(state_.rx_buffer);
    if (!text) throw ReceiveFailure("no end-of-block marker");
    return *text;
}

void FileReceiver::request() { line_.output(std::string(frames::request)); }

void FileReceiver::opening_step() {
    state_.rx_buffer.clear();
    rx_filename.clear();
    dialler_.disable_dial_controls();
    form_.mnumode.set_enabled(false);
    form_.cmdsend.set_enabled(false);
    form_.cmdcan.set_enabled(true);
    request();
}

void FileReceiver::length_step() {
    auto length = announced_length(payload());
    // A peer's bad frame ends the reception as any failure does, without
    // the cost of an exception: a noisy line sends many.
    if (!length) return failed();
    rx_length = *length;
    state_.rx_buffer.clear();
    ProgressBar& bar = form_.ProgressBar1;
    bar.set_visible(true);
    bar.set_max(rx_length);
    bar.set_min(0);
    bar.set_value(0);
    request();
}

void FileReceiver::name_step() {
    std::string name = suggested_save_name(payload());
    // Emptied before the dialog waits, so an arrival meanwhile cannot take
    // this frame's marker for a new one.
    state_.rx_buffer.clear();
    const unsigned reception = reception_;
    std::optional<std::string> chosen = choose_destination(name, reception);
    if (reception != reception_) {
        dialogs_.message(abandoned_notice_, Icon::information);
        return;
    }
    if (!chosen) {
        abandon("The save dialog was cancelled.");
        return;
    }
    rx_filename = *chosen;
    state_.current_mode = OperatingMode::file_transfer;
    form_.mnumodechat.set_checked(false);
    request();
}

// Asks again until the user picks a file that is not one of the program's
// own and that can be written.
std::optional<std::string> FileReceiver::choose_destination(const std::string& name, unsigned reception) {
    std::string suggestion = in_download_folder(name);
    for (;;) {
        std::optional<std::string> chosen = dialogs_.save_file(file_dialog_filter, suggestion);
        if (!chosen || reception != reception_) return chosen;
        if (is_own_file_(*chosen)) {
            dialogs_.message(*chosen +
                                 " is one of Quillon's own files and cannot be replaced. Please choose another name.",
                             Icon::stop);
        } else if (std::string problem = destination_problem(*chosen); !problem.empty()) {
            dialogs_.message("The file cannot be saved as " + *chosen + ": " + problem +
                                 ". Please choose another name.",
                             Icon::stop);
        } else {
            return chosen;
        }
        if (reception != reception_) return std::nullopt;
    }
}

void FileReceiver::form_step() {
    state_.file_mode = form_of_word(payload());
    state_.rx_buffer.clear();
    discard_output();
    if (state_.file_mode == FileForm::binary) {
        std::string spool = files_.spool_file();
        make_private_file(spool);
        spool_.open(spool, std::ios::binary | std::ios::trunc);
        if (!spool_) throw ReceiveFailure("cannot open the spool");
    } else if (state_.file_mode == FileForm::text) {
        // The destination is replaced only once the whole file is in.
        if (!text_output_.open(rx_filename)) throw ReceiveFailure("cannot open the output file");
    } else {
        return failed();
    }
    form_known_ = true;
    events_.transfer_started(transfer_info());
    rx_location_ = 0;
    bad_digits_ = 0;
    request();
    state_.start_time = now_in_seconds(loop_);
}

bool FileReceiver::beyond_announced_length(std::string_view text) {
    if (rx_location_ + static_cast<std::int64_t>(text.size()) <= rx_length) return false;
    abandon("The other side sent more than it announced.", TransferOutcome::failed);
    dialogs_.message("The other side sent more than the " + std::to_string(rx_length) +
                         " characters it announced. The file is damaged; nothing was saved.",
                     Icon::stop);
    return true;
}

void FileReceiver::store(std::string_view text) {
    bool written = false;
    if (spool_.is_open()) {
        // Flushed frame by frame, so a full disk shows at the frame that hit it.
        spool_.write(text.data(), static_cast<std::streamsize>(text.size()));
        spool_.flush();
        written = static_cast<bool>(spool_);
        bad_digits_ += static_cast<std::int64_t>(count_non_hex(text));
    } else if (text_output_.is_open()) {
        written = text_output_.write(text);
    }
    if (!written) throw ReceiveFailure("write error");
    rx_location_ += static_cast<std::int64_t>(text.size());
    events_.transfer_progress(rx_location_, rx_length);
}

void FileReceiver::text_data_step() {
    ProgressBar& bar = form_.ProgressBar1;
    std::string_view text = payload();
    if (beyond_announced_length(text)) return;
    store(text);
    if (rx_length - rx_location_ < rx_block_size) line_.set_rthreshold(1);
    bar.set_value(bar.value() + static_cast<double>(text.size()));
    state_.rx_buffer.clear();
    // A complete file is saved before anything can interrupt its reception.
    const bool complete = rx_location_ >= rx_length;
    if (complete) close_output();
    const unsigned reception = reception_;
    const unsigned call = call_;
    while (line_.in_buffer_count() > 0) loop_.process_pending_events();
    if (!complete) {
        if (reception != reception_) return;
        block_timer_.set_enabled(true);
        request();
        return;
    }
    finish_reception();
    form_.filemodetext.set_checked(false);
    show_transfer_report(dialogs_, state_.start_time, state_.end_time, rx_filename, rx_length);
    if (!call_still_up(call)) return;
    line_.output(frames::receiver_notice);
    request();
}

void FileReceiver::binary_data_step() {
    ProgressBar& bar = form_.ProgressBar1;
    std::string_view text = payload();
    if (beyond_announced_length(text)) return;
    bar.set_value(bar.value() + static_cast<double>(text.size()));
    store(text);
    state_.rx_buffer.clear();
    if (rx_location_ < rx_length) {
        line_.set_null_discard(true);
        request();
        return;
    }
    close_output();
    finish_reception();
    form_.filemodebinary.set_checked(false);
    request();
    // Characters that are not digits were damaged on the way: no report
    // claims a clean file, and the conversion says how many pairs are bad.
    if (bad_digits_ == 0) show_transfer_report(dialogs_, state_.start_time, state_.end_time, rx_filename, rx_length);
    reconversion_.reconvert_file(rx_filename);
}

// The whole announced length is in: the spool is closed, or the text-form
// file moved over its destination. The reception is over from here on.
void FileReceiver::close_output() {
    if (spool_.is_open()) {
        spool_.close();
        if (!spool_) throw ReceiveFailure("cannot close the spool");
    } else if (!text_output_.commit()) {
        throw ReceiveFailure("cannot move the file into place");
    }
    state_.recv_block = 1;
}

// What both forms do once the reception is over.
void FileReceiver::finish_reception() {
    state_.recv_block = 1;
    // Said in the output box: left in the input line it went out with the
    // next message, and kept keyboard dialling off.
    form_.txtreceived.set_text("End of transmission.Back to chat mode.");
    state_.current_mode = OperatingMode::chat;
    form_.mnumodechat.set_checked(true);
    form_.mnumode.set_enabled(true);
    dialler_.enable_dial_controls();
    form_.cmdsend.set_enabled(true);
    block_timer_.set_enabled(false);
    form_.ProgressBar1.set_visible(false);
    state_.end_time = now_in_seconds(loop_);
    events_.transfer_ended(transfer_info(), TransferOutcome::complete, "");
    form_known_ = false;
}

// The file as the call events tell it: binary form announces two digits a
// byte. Before the form frame only the name chosen, if any, is known.
TransferInfo FileReceiver::transfer_info() const {
    if (!form_known_) return {TransferDirection::receiving, rx_filename, FileForm::none, 0};
    const FileForm form = state_.file_mode;
    return {TransferDirection::receiving, rx_filename, form, form == FileForm::binary ? rx_length / 2 : rx_length};
}

bool FileReceiver::call_still_up(unsigned call) const { return call == call_ && state_.connected == 1; }

void FileReceiver::call_lost() {
    ++call_;
    opening_deferred_ = false;
    failed_transfer_frame_.reset();
    if (state_.recv_block >= 2) abandon("The call ended.");
}

// Gives up this reception and leaves the program, and the destination, as
// they were before it. Every reception that ends badly comes through here,
// whatever step it reached, and is told as ended: the status bar keeps the
// loss after the output box has moved on.
void FileReceiver::abandon(const std::string& why, TransferOutcome outcome) {
    events_.transfer_ended(transfer_info(), outcome, why);
    form_known_ = false;
    ++reception_;
    discard_output();
    state_.recv_block = 1;
    state_.rx_buffer.clear();
    state_.current_mode = OperatingMode::chat;
    form_.mnumodechat.set_checked(true);
    form_.mnumode.set_enabled(true);
    dialler_.enable_dial_controls();
    form_.cmdsend.set_enabled(state_.connected == 1);
    block_timer_.set_enabled(false);
    form_.ProgressBar1.set_visible(false);
    abandoned_notice_ = why + " Reception abandoned; nothing was saved.";
    show_status(abandoned_notice_);
}

void FileReceiver::show_status(const std::string& text) {
    loop_.post([this, text, alive = alive_] {
        if (*alive) form_.txtreceived.set_text(text);
    });
}

void FileReceiver::discard_output() {
    if (spool_.is_open()) {
        spool_.close();
        std::remove(files_.spool_file().c_str());
    }
    spool_.clear();
    text_output_.discard();
}

} // namespace quillon
