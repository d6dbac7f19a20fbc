// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/file_sender.h"

#include "base/text_number.h"
#include "base/hex_codec.h"
#include "transfer/transfer_frames.h"
#include "transfer/transfer_report.h"

#include <filesystem>
#include <limits>
#include <stdexcept>

namespace quillon {

namespace {
struct SendFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};
} // namespace

void FileSender::send_to_line(const std::string& value) { line_.output(value); }

void FileSender::send_file(const std::string& path) {
    path_ = path;
    run_step();
}

void FileSender::send_next_block() {
    // A request that no Send of ours asked for is the peer's mistake.
    if (sending_) run_step();
}

void FileSender::run_step() {
    try {
        switch (state_.send_block) {
        case 1: opening_step(); break;
        case 2: length_step(); break;
        case 3: name_step(); break;
        case 4: form_step(); break;
        case 0: finishing_step(); break;
        default: data_step(); break;
        }
    } catch (const std::exception&) {
        events_.transfer_ended({TransferDirection::sending, path_, state_.file_mode, tx_file_length_},
            TransferOutcome::failed, "Error in sending! Back to chat mode.");
        fail();
    }
}

void FileSender::opening_step() {
    dialler_.disable_dial_controls();
    form_.mnumode.set_enabled(false);
    form_.cmdsend.set_enabled(false);
    form_.cmdcan.set_enabled(true);
    sending_ = true;
    send_to_line(std::string(frames::end_of_block));
}

void FileSender::length_step() {
    const FileForm form = state_.file_mode;
    if (form == FileForm::text || form == FileForm::binary) {
        std::error_code error;
        auto size = std::filesystem::file_size(path_, error);
        if (error) throw SendFailure("cannot size the file");
        auto length = form == FileForm::binary ? 2 * static_cast<std::uintmax_t>(size) : size;
        if (length > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max()))
            throw SendFailure("file too long");
        tx_length = static_cast<int>(length);
    }
    ProgressBar& bar = form_.ProgressBar1;
    bar.set_max(tx_length);
    bar.set_min(0);
    bar.set_value(0);
    bar.set_visible(true);
    send_to_line(std::to_string(tx_length) + std::string(frames::end_of_block));
    events_.transfer_started({TransferDirection::sending, path_, state_.file_mode,
        state_.file_mode == FileForm::binary ? tx_length / 2 : tx_length});
}

void FileSender::name_step() {
    close_file();
    tx_file.open(path_, std::ios::binary);
    if (!tx_file) throw SendFailure("cannot open the file");
    tx_file.seekg(0, std::ios::end);
    tx_file_length_ = tx_file.tellg();
    tx_file.seekg(0);
    if (!tx_file || tx_file_length_ < 0) throw SendFailure("cannot size the open file");
    tx_location_ = 0;
    send_to_line(announced_name(path_) + std::string(frames::end_of_block));
}

void FileSender::form_step() {
    tx_block_size = state_.file_mode == FileForm::binary ? frames::binary_block_size : frames::text_block_size;
    state_.start_time = static_cast<int>(round_half_even(loop_.time_of_day()));
    send_to_line(form_word(state_.file_mode) + std::string(frames::end_of_block));
}

// Back in chat mode before the boxes wait for the user, so that nothing
// arriving meanwhile is taken for this transfer.
void FileSender::finishing_step() {
    events_.transfer_ended({TransferDirection::sending, path_, state_.file_mode, tx_file_length_},
        TransferOutcome::complete, "");
    line_.set_null_discard(true);
    state_.send_block = -50;
    sending_ = false;
    form_.ProgressBar1.set_visible(false);
    state_.current_mode = OperatingMode::chat;
    form_.mnumodechat.set_checked(true);
    form_.mnumode.set_enabled(true);
    dialler_.enable_dial_controls();
    form_.cmdsend.set_enabled(true);
    state_.rx_buffer.clear();
    state_.end_time = static_cast<int>(round_half_even(loop_.time_of_day()));
    dialogs_.message("Finished sending.Back to chat mode.", Icon::information);
    show_transfer_report(dialogs_, state_.start_time, state_.end_time, path_, tx_length);
}

void FileSender::data_step() {
    ProgressBar& bar = form_.ProgressBar1;
    if (state_.file_mode == FileForm::text) {
        bool last = read_block(block_);
        auto characters = static_cast<double>(block_.size());
        block_ += frames::end_of_block;
        if (last) block_ += frames::sender_trailer;
        send_to_line(block_);
        if (last) {
            close_file();
            state_.send_block = -1;
            form_.filemodetext.set_checked(false);
        }
        bar.set_value(bar.value() + characters);
    } else if (state_.file_mode == FileForm::binary) {
        bool last = read_block(block_);
        payload_.clear();
        append_hex(payload_, block_);
        const auto digits = static_cast<double>(payload_.size());
        // The digits and their marker leave in one write.
        payload_ += frames::end_of_block;
        send_to_line(payload_);
        bar.set_value(bar.value() + digits);
        if (last) {
            close_file();
            state_.send_block = -1;
            form_.filemodebinary.set_checked(false);
        }
    }
}

bool FileSender::read_block(std::string& block) {
    if (!tx_file.is_open()) throw SendFailure("no file open");
    std::int64_t remaining = tx_file_length_ - tx_location_;
    std::int64_t n = remaining < tx_block_size ? remaining : tx_block_size;
    block.resize(static_cast<std::size_t>(n));
    if (n > 0 && !tx_file.read(block.data(), n)) throw SendFailure("read error");
    tx_location_ += n;
    events_.transfer_progress(tx_location_, tx_file_length_);
    return tx_location_ >= tx_file_length_;
}

void FileSender::call_lost() {
    if (!sending_) return;
    events_.transfer_ended({TransferDirection::sending, path_, state_.file_mode, tx_file_length_},
                             TransferOutcome::abandoned, "the call ended");
    sending_ = false;
    close_file();
    form_.ProgressBar1.set_visible(false);
    back_to_chat();
}

// Chat mode again, with neither form ticked.
void FileSender::back_to_chat() {
    state_.current_mode = OperatingMode::chat;
    form_.mnumodechat.set_checked(true);
    form_.filemodebinary.set_checked(false);
    form_.filemodetext.set_checked(false);
}

void FileSender::close_file() {
    if (tx_file.is_open()) tx_file.close();
    tx_file.clear();
}

void FileSender::fail() {
    const char* text = "Error in sending! Back to chat mode.";
    sending_ = false;
    back_to_chat();
    form_.txtreceived.set_text(text);
    // The output box is rewritten with the chat text as soon as the event
    // that ran this step ends, so the user is told in a box as well.
    dialogs_.message(text, Icon::stop);
}

} // namespace quillon
