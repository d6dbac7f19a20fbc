// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/arrival_share.h"
#include "modem/pattern_watch.h"

#include <cstddef>
#include <functional>
#include <string>

namespace quillon {

class CallEventHub;
class CallerIdWatch;
class Dialler;
class Dialogs;
class EventLoop;
class FormTimer;
class LineBufferSharer;
class MainForm;
class SerialControl;
class SharedState;
class TransferLink;

// MSComm1_OnComm: the only reader of the line. Its searches cost what
// arrived, not the length of the conversation, which is held once: in
// line_buffer, which txtreceived shows, rx_buffer stands for and the
// conversation quotes.
class CommHandler {
public:
    CommHandler(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state, CallEventHub& events,
                SerialControl& comm, FormTimer& block_timer, TransferLink& transfer, CallerIdWatch& caller_ids,
                Dialler& dialler);

    void MSComm1_OnComm();
    // Forgets what the last call left in line_buffer.
    void empty_line_buffer();
    // A call is connected, or its connect line is on show before it counts.
    bool call_up() const;

    // Offered every arrival first: which of its first bytes are the line's
    // and which it took.
    std::function<ArrivalShare(const std::string& arrived)> divert;
    // Quotes line_buffer and keeps what it quotes when it is emptied.
    void share_line_buffer_with(LineBufferSharer& sharer) { sharer_ = &sharer; }

private:
    enum LinePattern { ok, busy, no_dial, no_carrier, ring, connect, no_answer };
    enum Marker { request, end_of_block };

    void receive();
    void handle_arrival(const std::string& arrived);
    void report_line_error(int code);
    void take_arrival(const std::string& arrived);
    void drop_unframed_excess();
    void declare_connected();
    bool line_has(LinePattern pattern);
    bool rx_has(Marker marker);
    void show_line_buffer();
    void box_keeps_its_text();
    void let_go_of_line_buffer();

    EventLoop& loop_;
    Dialogs& dialogs_;
    MainForm& form_;
    SharedState& state_;
    CallEventHub& events_;
    SerialControl& comm_;
    // Timer2, on while a reception waits for the peer's next block.
    FormTimer& block_timer_;
    TransferLink& transfer_;
    CallerIdWatch& caller_ids_;
    Dialler& dialler_;
    PatternWatch line_watch_;
    PatternWatch rx_watch_;
    // rx_buffer is line_buffer, searched in place, until line_buffer is
    // emptied: then it holds what it had (only where a step will read it),
    // and had this size.
    bool rx_held_ = false;
    std::size_t rx_held_size_ = 0;
    // "NO ANSWER" stays in line_buffer (it shows nothing); told once.
    bool no_answer_told_ = false;
    // While txtreceived shows line_buffer, the size it was last shown at:
    // the box's text until the arrival being handled is shown.
    std::size_t shown_size_ = 0;
    // Inside the two-second wait that declares a call connected.
    bool connecting_ = false;
    // Characters cut since line_buffer was last emptied.
    std::size_t dropped_ = 0;
    LineBufferSharer* sharer_ = nullptr;
    std::string spare_arrival_;
};

} // namespace quillon
