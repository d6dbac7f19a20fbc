// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "transfer/replacing_file.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

class Program;

// The receiving half of the block protocol: one step per end-of-block
// marker, appending each payload to the output file as it comes. A step
// that waits for the user (the save dialog, the report, the conversion)
// takes no frame meanwhile: a frame out of turn abandons the reception,
// and a new opening frame is answered once the step is over.
class FileReceiver {
public:
    explicit FileReceiver(Program& program) : p_(program) {}

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

    Program& p_;
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
};

} // namespace quillon
