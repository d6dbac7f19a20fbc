// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/transfer_link.h"
#include "transfer/file_receiver.h"
#include "transfer/file_sender.h"
#include "transfer/mode_menu.h"
#include "transfer/reconversion.h"
#include "transfer/stall_watch.h"

#include <memory>
#include <string>

namespace quillon {

class Program;

// The file-transfer module: the in-band block protocol's two halves, the
// Operating Mode menu, the report and the reconversion, under the names
// the rest of the program calls them by.
class FileTransfer : public TransferLink {
public:
    explicit FileTransfer(Program& program);
    ~FileTransfer();

    void send_file(const std::string& path) override;
    void send_to_line(const std::string& value) { sender_.send_to_line(value); }
    void receive_file() override;
    // A send or a reception is under way.
    bool in_progress() const override { return sender_.active() || receiver_.active(); }

    void mnumodechat_Click() { mode_menu_.mnumodechat_Click(); }
    void mnumodefile_Click() { mode_menu_.mnumodefile_Click(); }
    void filemodebinary_Click() { mode_menu_.filemodebinary_Click(); }
    void filemodetext_Click() { mode_menu_.filemodetext_Click(); }

    void transfer_report(int start_time, int end_time, const std::string& file_name, int size);
    void reconvert_file(const std::string& destination) { reconversion_.reconvert_file(destination); }
    void go_offline() { reconversion_.go_offline(); }

    // The carrier went: a transfer in progress cannot finish, so both
    // halves let go of their files and go back to chat mode.
    void call_lost() override;

    // A status line in the output box, shown once the handler running now
    // has finished with the box.
    void show_status(const std::string& text);

private:
    Program& p_;
    FileSender sender_;
    FileReceiver receiver_;
    ModeMenu mode_menu_;
    Reconversion reconversion_;
    StallWatch stall_watch_;
    // Posted status lines must not outlive the program.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    bool waiting_for_peer() const;
    void watch_for_stall();
    void tell_stall(int seconds);
};

} // namespace quillon
