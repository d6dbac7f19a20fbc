// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/file_transfer.h"

#include <utility>

namespace quillon {

FileTransfer::FileTransfer(EventLoop& loop, Dialogs& dialogs, Media& media, const FileLocations& files,
                           MainForm& form, ConvertForm& convert_form, SharedState& state, CallEvents& events,
                           SerialControl& line, FormTimer& block_timer, Dialler& dialler, CommHandler& comm_handler,
                           std::function<bool(const std::string& path)> is_own_file)
    : form_(form),
      reconversion_(loop, dialogs, media, files, form, convert_form, events, line, comm_handler, dialler),
      sender_(loop, dialogs, form, state, events, line, dialler),
      receiver_(loop, dialogs, files, form, state, events, line, block_timer, dialler, reconversion_,
                std::move(is_own_file)),
      mode_menu_(dialogs, form, state), stall_watch_(loop, [this](int seconds) { tell_stall(seconds); }) {}

void FileTransfer::send_file(const std::string& path) {
    run_step([&] { sender_.send_file(path); });
}

void FileTransfer::send_next_block() {
    run_step([&] { sender_.send_next_block(); });
}

void FileTransfer::receive_file() {
    run_step([&] { receiver_.receive_file(); });
}

void FileTransfer::call_lost() {
    sender_.call_lost();
    receiver_.call_lost();
    stall_watch_.stop();
}

// Only while one half waits for the other side: a step waiting for the
// user here is no stall.
bool FileTransfer::waiting_for_peer() const { return sender_.active() || receiver_.waiting_for_peer(); }

void FileTransfer::watch_for_stall() {
    if (waiting_for_peer()) stall_watch_.waiting();
}

void FileTransfer::tell_stall(int seconds) {
    if (!waiting_for_peer()) {
        stall_watch_.stop();
        return;
    }
    form_.txtreceived.set_text("No data from the other side for " + std::to_string(seconds) +
                               " s; the cancel button hangs up.");
}

} // namespace quillon
