// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/file_transfer.h"

#include "app/program.h"
#include "transfer/transfer_report.h"

#include <memory>

namespace quillon {

FileTransfer::FileTransfer(Program& program)
    : p_(program), sender_(program), receiver_(program), mode_menu_(program), reconversion_(program),
      stall_watch_(program.loop, [this](int seconds) { tell_stall(seconds); }) {}

FileTransfer::~FileTransfer() { *alive_ = false; }

void FileTransfer::send_file(const std::string& path) {
    stall_watch_.stop();
    sender_.send_file(path);
    watch_for_stall();
}

void FileTransfer::receive_file() {
    stall_watch_.stop();
    receiver_.receive_file();
    watch_for_stall();
}

void FileTransfer::call_lost() {
    sender_.call_lost();
    receiver_.call_lost();
    stall_watch_.stop();
}

void FileTransfer::transfer_report(int start_time, int end_time, const std::string& file_name, int size) {
    if (auto text = transfer_report_text(start_time, end_time, file_name, size)) p_.message(*text, Icon::none);
}

void FileTransfer::show_status(const std::string& text) {
    p_.loop.post([this, text, alive = alive_] {
        if (*alive) p_.frmmain.txtreceived.set_text(text);
    });
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
    p_.frmmain.txtreceived.set_text("No data from the other side for " + std::to_string(seconds) +
                                    " s; the cancel button hangs up.");
}

} // namespace quillon
