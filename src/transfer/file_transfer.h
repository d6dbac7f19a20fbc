// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/file_locations.h"
#include "base/form_timer.h"
#include "base/main_form.h"
#include "base/media.h"
#include "base/shared_state.h"
#include "modem/comm_handler.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"
#include "modem/transfer_link.h"
#include "transfer/file_receiver.h"
#include "transfer/file_sender.h"
#include "transfer/mode_menu.h"
#include "transfer/reconversion.h"
#include "transfer/stall_watch.h"

#include <functional>
#include <string>

namespace quillon {

// The file-transfer module: the in-band block protocol's two halves, the
// Operating Mode menu, the report and the reconversion, under the names
// the rest of the program calls them by.
class FileTransfer : public TransferLink {
public:
    // block_timer runs between the blocks of a text-form reception;
    // is_own_file tells the files a reception must never replace.
    FileTransfer(EventLoop& loop, Dialogs& dialogs, Media& media, const FileLocations& files, MainForm& form,
                 ConvertForm& convert_form, SharedState& state, CallEvents& events, SerialControl& line,
                 FormTimer& block_timer, Dialler& dialler, CommHandler& comm_handler,
                 std::function<bool(const std::string& path)> is_own_file);

    // Send pressed in the block protocol's forms.
    void send_file(const std::string& path);
    void send_next_block() override;
    void receive_file() override;
    // A send or a reception is under way.
    bool in_progress() const override { return sender_.active() || receiver_.active(); }
    bool sending() const override { return sender_.active(); }

    void mnumodechat_Click() { mode_menu_.mnumodechat_Click(); }
    void mnumodefile_Click() { mode_menu_.mnumodefile_Click(); }
    void filemodebinary_Click() { mode_menu_.filemodebinary_Click(); }
    void filemodetext_Click() { mode_menu_.filemodetext_Click(); }

    void reconvert_file(const std::string& destination) { reconversion_.reconvert_file(destination); }

    // The carrier went: a transfer in progress cannot finish, so both
    // halves let go of their files and go back to chat mode.
    void call_lost() override;

private:
    MainForm& form_;
    Reconversion reconversion_;
    FileSender sender_;
    FileReceiver receiver_;
    ModeMenu mode_menu_;
    StallWatch stall_watch_;

    // Every step of either half starts the wait for the other side anew.
    template <typename Step> void run_step(Step step) {
        stall_watch_.stop();
        step();
        watch_for_stall();
    }
    bool waiting_for_peer() const;
    void watch_for_stall();
    void tell_stall(int seconds);
};

} // namespace quillon
