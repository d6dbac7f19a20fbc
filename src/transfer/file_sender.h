// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace quillon {

// The sending half of the block protocol: one step per request marker,
// reading the file one block at a time.
class FileSender {
public:
    FileSender(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state, CallEvents& events,
               SerialControl& line, Dialler& dialler)
        : loop_(loop), dialogs_(dialogs), form_(form), state_(state), events_(events), line_(line),
          dialler_(dialler) {}

    // Send pressed: the send of path starts with its opening frame.
    void send_file(const std::string& path);
    // The peer asked for the next frame.
    void send_next_block();
    void call_lost();
    // From Send until the last request has been answered or the send failed.
    bool active() const { return sending_; }

private:
    void send_to_line(const std::string& value);
    void run_step();
    void opening_step();
    void length_step();
    void name_step();
    void form_step();
    void finishing_step();
    void data_step();
    // Reads the next block; true when it was the last one.
    bool read_block(std::string& block);
    void close_file();
    void fail();
    void back_to_chat();

    EventLoop& loop_;
    Dialogs& dialogs_;
    MainForm& form_;
    SharedState& state_;
    CallEvents& events_;
    SerialControl& line_;
    Dialler& dialler_;
    // The file this send reads, kept from Send until the next one.
    std::string path_;
    int tx_block_size = 0;
    std::ifstream tx_file;
    std::int64_t tx_file_length_ = 0;
    std::int64_t tx_location_ = 0;
    int tx_length = 0;
    bool sending_ = false;
    std::string block_;
    std::string payload_;
};

} // namespace quillon
