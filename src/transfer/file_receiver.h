// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/file_locations.h"
#include "base/form_timer.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"
#include "transfer/reconversion.h"
#include "transfer/replacing_file.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The receiving half of the block protocol: one step per end-of-block
// marker, appending each payload to the output file as it comes. A step
// that waits for the user (the save dialog, the report, the conversion)
// takes no frame meanwhile: a frame out of turn abandons the reception,
// and a new opening frame is answered once the step is over.
class FileReceiver {
public:
    FileReceiver(EventLoop& loop, Dialogs& dialogs, const FileLocations& files, MainForm& form, SharedState& state,
                 CallEvents& events, SerialControl& line, FormTimer& block_timer, Dialler& dialler,
                 Reconversion& reconversion, std::function<bool(const std::string& path)> is_own_file);
    ~FileReceiver();
    FileReceiver(const FileReceiver&) = delete;
    FileReceiver& operator=(const FileReceiver&) = delete;

    void receive_file();
    void call_lost();
    // From the opening frame until the reception is complete or abandoned.
    bool active() const;
    // A reception is under way and no step of it is running.
    bool waiting_for_peer() const;

private:
    void run_step();
    void take_out_of_turn();
    std::string_view payload() const;
    void opening_step();
    void length_step();
    void name_step();
    std::optional<std::string> choose_destination(const std::string& name, unsigned reception);
    void form_step();
    bool beyond_announced_length(std::string_view payload);
    void text_data_step();
    void binary_data_step();
    void store(std::string_view payload);
    void close_output();
    void finish_reception();
    bool call_still_up(unsigned call) const;
    void request();
    void abandon(const std::string& why, TransferOutcome outcome = TransferOutcome::abandoned);
    // Abandons the reception as failed and says so.
    void failed();
    bool passing_over_failed_transfer();
    TransferInfo transfer_info() const;
    void discard_output();
    // A status line in the output box, shown once the handler running now
    // has finished with the box.
    void show_status(const std::string& text);

    EventLoop& loop_;
    Dialogs& dialogs_;
    const FileLocations& files_;
    MainForm& form_;
    SharedState& state_;
    CallEvents& events_;
    SerialControl& line_;
    // Runs between the blocks of a text-form reception.
    FormTimer& block_timer_;
    Dialler& dialler_;
    Reconversion& reconversion_;
    std::function<bool(const std::string&)> is_own_file_;
    std::string rx_filename;
    std::ofstream spool_;
    ReplacingFile text_output_;
    std::int64_t rx_location_ = 0;
    std::int64_t bad_digits_ = 0;
    int rx_length = 0;
    int rx_block_size = 0;
    // Changes whenever a reception ends, so that a step coming back from a
    // wait can tell its reception is gone.
    unsigned reception_ = 0;
    // What the last abandonment said, told again to a user back from a
    // dialog under which it happened.
    std::string abandoned_notice_;
    unsigned call_ = 0;
    bool stepping_ = false;
    bool opening_deferred_ = false;
    // Set from the form step, when the call events hear the reception
    // start, until it ends.
    bool form_known_ = false;
    // When the last frame of a failed transfer arrived, until a new one opens.
    std::optional<double> failed_transfer_frame_;
    static constexpr double quiet_after_failure_s = 5;
    // Posted status lines must not outlive the receiver.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon
