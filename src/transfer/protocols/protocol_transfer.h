// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/main_form.h"
#include "base/modes.h"
#include "base/shared_state.h"
#include "modem/arrival_share.h"
#include "modem/serial_control.h"
#include "transfer/protocols/transfer_engine.h"
#include "transfer/stall_watch.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Files to and from other modem programs with ZMODEM, YMODEM and XMODEM:
// their form items in the Operating Mode menu, Send in those forms, the
// reception item, and the ZMODEM reception a peer starts with ZRQINIT.
// While a session runs, every byte from the line is the session's; the
// user ends it with Cancel and the call stays up.
class ProtocolTransfer : public CallEvents {
public:
    static constexpr int tick_ms = 10;
    // What is kept written ahead of the line: enough to keep it busy
    // between ticks, little enough that a cancel is not stuck behind it.
    static constexpr std::size_t line_ahead = 1024;

    ProtocolTransfer(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state, SerialControl& line,
                     CallEvents& events, std::function<bool()> own_transfer_running,
                     std::function<bool(const std::string& path)> is_own_file);
    ~ProtocolTransfer() override;
    ProtocolTransfer(const ProtocolTransfer&) = delete;
    ProtocolTransfer& operator=(const ProtocolTransfer&) = delete;

    // ZMODEM, YMODEM or XMODEM.
    static bool is_protocol_form(FileForm form);

    // One of our form items chosen: as "Binary" and "Text" do, with
    // several files to choose for YMODEM.
    void choose_form(FileForm form);
    // "Binary", "Text" or "Chat" chosen: our items lose their ticks.
    void untick_forms();
    // Send pressed: true when the form is ours and the session started here.
    bool send();
    // Sends these files in the chosen form without a dialog: ZMODEM and
    // YMODEM in one session, XMODEM the first only. False when no session
    // started (one runs already, or a file cannot be read).
    bool send_files(std::vector<std::string> paths);
    // "Receive with YMODEM/XMODEM...": XMODEM when that form is chosen
    // (it asks for the name), else a YMODEM batch.
    void receive_chosen();
    // Every arrival from the line comes here first: which of its first
    // bytes are the line's and which ours. What comes before a session's
    // start, or after its good end, is the line's.
    ArrivalShare take_arrival(const std::string& bytes);
    bool running() const { return session_ != nullptr; }
    // Cancel pressed during a session.
    void cancel();

    void call_ended(CallEnd) override;

    // Where received files go once the user has said so.
    const std::string& receiving_into() const { return folder_; }
    // Said for the user where no one can be asked.
    void receive_into(std::string folder) { folder_ = std::move(folder); }

private:
    struct Session;

    void start(std::unique_ptr<Session> session);
    bool start_receiving(FileForm form);
    void refuse_session();
    std::optional<std::string> receiving_folder();
    void step();
    void write_output();
    void follow_files();
    void start_file();
    void file_over(TransferOutcome outcome, const std::string& detail);
    void finish();
    void tell_stall(int seconds);
    MenuItem* item_of(FileForm form);

    EventLoop& loop_;
    Dialogs& dialogs_;
    MainForm& form_;
    SharedState& state_;
    SerialControl& line_;
    CallEvents& events_;
    std::function<bool()> own_transfer_running_;
    std::function<bool(const std::string&)> is_own_file_;
    StallWatch stall_watch_;

    std::unique_ptr<Session> session_;
    EventLoop::Handle timer_ = 0;
    // Files chosen for the form last chosen; Send takes them while the
    // file to send is still the first of them.
    std::vector<std::string> chosen_;
    std::string folder_;
    // The last bytes of the previous arrival, where ZRQINIT may begin.
    std::string tail_;
    bool asking_ = false;
    bool stepping_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon
