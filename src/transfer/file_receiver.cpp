#include "transfer/file_receiver.h"

#include "app/program.h"
#include "app/text_number.h"
#include "transfer/transfer_frames.h"

#include <cstdio>
#include <stdexcept>

namespace quillon {

namespace {
struct ReceiveFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int now_in_seconds(EventLoop& loop) { return static_cast<int>(round_half_even(loop.time_of_day())); }
} // namespace

void FileReceiver::receive_file() {
    rx_block_size = frames::full_frame_size;
    try {
        switch (p_.state.recv_block) {
        case 2: opening_step(); break;
        case 3: length_step(); break;
        case 4: name_step(); break;
        case 5: form_step(); break;
        default:
            if (p_.state.file_mode == "text") text_data_step();
            else if (p_.state.file_mode == "binary") binary_data_step();
            break;
        }
    } catch (const std::exception&) {
        p_.events.transfer_ended({TransferDirection::receiving, rx_filename, p_.state.file_mode, rx_length},
            TransferOutcome::failed,
            "Unexpected error while receiving! Cannot continue.");
        p_.message("Unexpected error while receiving! Cannot continue.", Icon::stop);
        abandon();
    }
}

std::string_view FileReceiver::payload() const {
    auto text = frame_payload(p_.state.rx_buffer);
    if (!text) throw ReceiveFailure("no end-of-block marker");
    return *text;
}

void FileReceiver::opening_step() {
    MainForm& f = p_.frmmain;
    p_.state.rx_buffer.clear();
    p_.main_window.disable_dial_controls();
    f.mnumode.set_enabled(false);
    f.cmdsend.set_enabled(false);
    f.cmdcan.set_enabled(true);
    p_.transfer.send_to_line(std::string(frames::request));
}

void FileReceiver::length_step() {
    auto length = announced_length(payload());
    if (!length) throw ReceiveFailure("the length is not a number");
    rx_length = *length;
    p_.state.rx_buffer.clear();
    ProgressBar& bar = p_.frmmain.ProgressBar1;
    bar.set_visible(true);
    bar.set_max(rx_length);
    bar.set_min(0);
    bar.set_value(0);
    p_.transfer.send_to_line(std::string(frames::request));
}

void FileReceiver::name_step() {
    std::string suggestion = suggested_save_name(payload());
    // Emptied before the dialog waits, so an arrival meanwhile cannot take
    // this frame's marker for a new one.
    p_.state.rx_buffer.clear();
    auto chosen = p_.dialogs.save_file(file_dialog_filter, suggestion);
    if (!chosen) {
        abandon();
        return;
    }
    rx_filename = *chosen;
    p_.state.current_mode = "file transfer";
    p_.frmmain.mnumodechat.set_checked(false);
    p_.transfer.send_to_line(std::string(frames::request));
}

void FileReceiver::form_step() {
    SharedState& s = p_.state;
    s.file_mode = std::string(payload());
    s.rx_buffer.clear();
    const std::string* output = nullptr;
    std::string spool = p_.program_file("vlorn.cmp");
    if (s.file_mode == "binary") output = &spool;
    else if (s.file_mode == "text") output = &rx_filename;
    if (output) {
        close_output();
        // Replaced, not overwritten in place: exactly the received bytes remain.
        rx_file.open(*output, std::ios::binary | std::ios::trunc);
        if (!rx_file) throw ReceiveFailure("cannot open the output file");
        rx_location_ = 0;
        p_.events.transfer_started({TransferDirection::receiving, rx_filename, s.file_mode,
            s.file_mode == "binary" ? rx_length / 2 : rx_length});
    }
    p_.transfer.send_to_line(std::string(frames::request));
    s.start_time = now_in_seconds(p_.loop);
}

void FileReceiver::store(std::string_view text) {
    if (!rx_file.is_open()) throw ReceiveFailure("no output file");
    // Flushed frame by frame, so a full disk shows at the frame that hit it.
    rx_file.write(text.data(), static_cast<std::streamsize>(text.size()));
    rx_file.flush();
    if (!rx_file) throw ReceiveFailure("write error");
    rx_location_ += static_cast<std::int64_t>(text.size());
    p_.events.transfer_progress(rx_location_, rx_length);
}

void FileReceiver::text_data_step() {
    SharedState& s = p_.state;
    ProgressBar& bar = p_.frmmain.ProgressBar1;
    std::string_view text = payload();
    store(text);
    if (rx_length - rx_location_ < rx_block_size) p_.MSComm1.set_rthreshold(1);
    bar.set_value(bar.value() + static_cast<double>(text.size()));
    s.rx_buffer.clear();
    while (p_.MSComm1.in_buffer_count() > 0) p_.loop.process_pending_events();
    if (rx_location_ < rx_length) {
        p_.Timer2.set_enabled(true);
    } else {
        finish_reception();
        p_.frmmain.filemodetext.set_checked(false);
        p_.transfer.transfer_report(s.start_time, s.end_time, rx_filename, rx_length);
        p_.MSComm1.output(frames::receiver_notice);
    }
    p_.transfer.send_to_line(std::string(frames::request));
}

void FileReceiver::binary_data_step() {
    SharedState& s = p_.state;
    ProgressBar& bar = p_.frmmain.ProgressBar1;
    std::string_view text = payload();
    bar.set_value(bar.value() + static_cast<double>(text.size()));
    store(text);
    s.rx_buffer.clear();
    if (rx_location_ < rx_length) {
        p_.MSComm1.set_null_discard(true);
        p_.transfer.send_to_line(std::string(frames::request));
        return;
    }
    finish_reception();
    p_.frmmain.filemodebinary.set_checked(false);
    p_.transfer.send_to_line(std::string(frames::request));
    p_.transfer.transfer_report(s.start_time, s.end_time, rx_filename, rx_length);
    p_.transfer.reconvert_file(rx_filename);
}

// What both forms do once the announced length has arrived.
void FileReceiver::finish_reception() {
    SharedState& s = p_.state;
    MainForm& f = p_.frmmain;
    rx_file.close();
    if (!rx_file) throw ReceiveFailure("cannot close the output file");
    s.recv_block = 1;
    f.txtsend.set_text("End of transmission.Back to chat mode.");
    s.current_mode = "chat";
    f.mnumodechat.set_checked(true);
    f.mnumode.set_enabled(true);
    p_.main_window.enable_dial_controls();
    f.cmdsend.set_enabled(true);
    p_.Timer2.set_enabled(false);
    f.ProgressBar1.set_visible(false);
    s.end_time = now_in_seconds(p_.loop);
    p_.events.transfer_ended({TransferDirection::receiving, rx_filename, s.file_mode, rx_length},
        TransferOutcome::complete, "");
}

void FileReceiver::call_lost() {
    if (p_.state.recv_block >= 2) abandon();
}

// Gives up this reception and leaves the program as it was before it.
void FileReceiver::abandon() {
    SharedState& s = p_.state;
    MainForm& f = p_.frmmain;
    p_.events.transfer_ended({TransferDirection::receiving, rx_filename, s.file_mode, rx_length},
        TransferOutcome::abandoned, "");
    close_output();
    std::remove(p_.program_file("vlorn.cmp").c_str());
    s.recv_block = 1;
    s.rx_buffer.clear();
    s.current_mode = "chat";
    f.mnumodechat.set_checked(true);
    f.mnumode.set_enabled(true);
    p_.main_window.enable_dial_controls();
    f.cmdsend.set_enabled(s.connected == 1);
    p_.Timer2.set_enabled(false);
    f.ProgressBar1.set_visible(false);
}

void FileReceiver::close_output() {
    if (rx_file.is_open()) rx_file.close();
    rx_file.clear();
}

} // namespace quillon
