// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/comm_handler.h"

#include "base/call_events.h"
#include "base/dialogs.h"
#include "base/form_timer.h"
#include "base/main_form.h"
#include "base/shared_text.h"
#include "base/shared_state.h"
#include "base/wait_seconds.h"
#include "modem/caller_id_watch.h"
#include "modem/dialler.h"
#include "modem/serial_control.h"
#include "modem/transfer_link.h"

namespace quillon {

CommHandler::CommHandler(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state, CallEventHub& events,
                         SerialControl& comm, FormTimer& block_timer, TransferLink& transfer,
                         CallerIdWatch& caller_ids, Dialler& dialler)
    : loop_(loop), dialogs_(dialogs), form_(form), state_(state), events_(events), comm_(comm),
      block_timer_(block_timer), transfer_(transfer), caller_ids_(caller_ids), dialler_(dialler),
      line_watch_({{"OK"}, {"BUSY"}, {"NO DIAL"}, {"No CARR", true}, {"RING"}, {"CONNECT"}, {"NO ANSWER"}}),
      rx_watch_({{"^%1694%^"}, {"^%847%^"}}) {}

void CommHandler::MSComm1_OnComm() {
    int code = comm_.comm_event();
    if (code == comm_event::receive) receive();
    else report_line_error(code);
}

void CommHandler::report_line_error(int code) {
    const char* text = nullptr;
    switch (code) {
    case comm_event::break_signal: text = "Break Signal Received! Please stop and restart."; break;
    case comm_event::framing: text = "Framing Error!"; break;
    case comm_event::overrun: text = "Port overrun!"; break;
    case comm_event::rx_overflow: text = "Receive buffer overflow! Please stop and restart."; break;
    case comm_event::parity: text = "Parity Error!"; break;
    case comm_event::tx_full: text = "Transmit buffer full! Please stop and restart."; break;
    case comm_event::port_error: text = "Unexpected Error !"; break;
    default: return;
    }
    dialogs_.message(text, Icon::stop);
}

void CommHandler::take_arrival(const std::string& arrived) {
    SharedState& s = state_;
    s.line_buffer += arrived;
    if (rx_held_) {
        // rx_buffer is line_buffer's copy again, searched in place.
        s.rx_buffer.clear();
        rx_held_ = false;
        rx_watch_.reset();
    }
    rx_watch_.scan(s.line_buffer);
    drop_unframed_excess();
}

// During a transfer no frame of the protocol is longer than a few
// kilobytes, so text that has waited this long for a marker cannot belong
// to one: all but its last characters (which may start a marker) are
// dropped, and a peer that sends megabytes without a marker cannot make the
// buffers grow. Chat is never cut.
void CommHandler::drop_unframed_excess() {
    constexpr std::size_t max_unframed = 64 * 1024;
    constexpr std::size_t kept = 7;
    SharedState& s = state_;
    if (s.current_mode != OperatingMode::file_transfer || !transfer_.in_progress()) return;
    if (s.line_buffer.size() <= max_unframed || rx_watch_.contains(request) || rx_watch_.contains(end_of_block))
        return;
    dropped_ += s.line_buffer.size() - kept;
    std::string tail = s.line_buffer.substr(s.line_buffer.size() - kept);
    let_go_of_line_buffer();
    s.line_buffer = tail;
    line_watch_.reset();
    rx_watch_.reset();
    rx_watch_.scan(s.line_buffer);
    form_.txtreceived.set_text("Dropped " + std::to_string(dropped_) +
                               " characters from the other side that belonged to no frame.");
}

void CommHandler::empty_line_buffer() {
    SharedState& s = state_;
    if (!rx_held_) {
        // A step reads rx_buffer only for the frame before an end-of-block
        // marker; otherwise what it held matters only to the searches.
        if (rx_watch_.contains(end_of_block)) s.rx_buffer = s.line_buffer;
        rx_held_ = true;
        rx_held_size_ = s.rx_buffer.size();
    }
    let_go_of_line_buffer();
    dropped_ = 0;
    line_watch_.reset();
    no_answer_told_ = false;
}

bool CommHandler::call_up() const { return state_.connected == 1 || connecting_; }

// The modem's connect line is shown for two seconds before the call
// counts; either side may hang up from then on.
void CommHandler::declare_connected() {
    SharedState& s = state_;
    MainForm& f = form_;
    f.txtreceived.set_text("Connection established..." + s.line_buffer);
    empty_line_buffer();
    connecting_ = true;
    dialler_.rest_for_call();
    wait_seconds(loop_, 2);
    connecting_ = false;
    f.txtreceived.set_text("");
    s.connected = 1;
    f.cmdcan.set_enabled(true);
    events_.connected();
    // What the other side said during the wait opens the conversation.
    if (!s.line_buffer.empty() && s.current_mode == OperatingMode::chat) {
        show_line_buffer();
        events_.chat_received(s.line_buffer);
    }
}

// The modem's words are asked about outside a call, and in one only while
// the modem's set-up waits for its OK: the text is looked at when they are
// asked about, not as it arrives.
bool CommHandler::line_has(LinePattern pattern) {
    line_watch_.scan(state_.line_buffer);
    return line_watch_.contains(pattern);
}

bool CommHandler::rx_has(Marker marker) {
    const std::string& rx = state_.rx_buffer;
    // The transfer steps empty rx_buffer behind our back.
    if (rx_held_ && rx.size() != rx_held_size_) {
        rx_watch_.reset();
        rx_watch_.scan(rx);
        rx_held_size_ = rx.size();
    }
    return rx_watch_.contains(marker);
}

// The box shows line_buffer itself; it is told what was added, or shown the
// whole when it showed something else.
void CommHandler::show_line_buffer() {
    TextBox& box = form_.txtreceived;
    const std::string& text = state_.line_buffer;
    if (box.shows_text_of(text) && text.size() >= shown_size_) {
        if (text.size() > shown_size_) box.shown_text_grew(text.size() - shown_size_);
    } else {
        box.show_text_of(text);
    }
    shown_size_ = text.size();
}

// line_buffer is about to change in a way the box is not to show: the box
// keeps what it shows.
void CommHandler::box_keeps_its_text() {
    TextBox& box = form_.txtreceived;
    const std::string& text = state_.line_buffer;
    if (box.shows_text_of(text)) box.keep_text(text.substr(0, shown_size_));
}

// line_buffer is emptied: the box keeps what it showed of it, and the
// conversation what it quotes, sharing the one string.
void CommHandler::let_go_of_line_buffer() {
    TextBox& box = form_.txtreceived;
    std::string& text = state_.line_buffer;
    const bool shown = box.shows_text_of(text);
    const bool quoted = sharer_ && sharer_->refers_to_line_buffer();
    if (shown || quoted) {
        if (shown) text.resize(shown_size_);
        auto gone = std::make_shared<const std::string>(std::move(text));
        if (shown) box.keep_text(gone);
        if (quoted) sharer_->line_buffer_let_go(gone);
    }
    text.clear();
}

void CommHandler::receive() {
    // The last arrival's string takes this one: a handler that a dialog
    // of this one runs again just gets one of its own.
    std::string arrived = std::move(spare_arrival_);
    comm_.input(arrived);
    // A protocol session may begin after the peer's words, and its end may
    // come with the peer's next words or the start of its next session.
    bool all_taken = false;
    while (divert && !arrived.empty()) {
        const ArrivalShare share = divert(arrived);
        if (share.line + share.session == 0) break;
        if (share.line > 0) handle_arrival(arrived.substr(0, share.line));
        arrived.erase(0, share.line + share.session);
        all_taken = arrived.empty();
    }
    if (!all_taken) handle_arrival(arrived);
    spare_arrival_ = std::move(arrived);
}

void CommHandler::handle_arrival(const std::string& arrived) {
    SharedState& s = state_;
    MainForm& f = form_;

    // Chat is what arrives between transfers; an arrival that starts or
    // ends a reception carries frames.
    const int recv_before = s.recv_block;
    const bool chatting = s.connected == 1 && s.current_mode == OperatingMode::chat && s.recv_block < 2;
    take_arrival(arrived);
    caller_ids_.take(arrived);

    if (s.modem_init_state == 1 && line_has(ok)) {
        f.txtreceived.set_text("Modem ready....");
        comm_.output("ATE0\r");
        s.modem_init_state = 2;
    }
    // Dialling outcomes only; during a call, and in the wait that declares
    // it, these would cut the peer's text or answer it.
    if (!call_up()) {
        if (line_has(busy)) {
            f.txtreceived.set_text("Line BUSY...");
            empty_line_buffer();
            events_.dial_failed(DialOutcome::busy);
        }
        if (line_has(no_dial)) {
            f.txtreceived.set_text("No dial tone....Aborting..");
            empty_line_buffer();
            events_.dial_failed(DialOutcome::no_dial_tone);
        }
        if (line_has(no_carrier)) {
            f.txtreceived.set_text("NO carrier...Aborting...");
            empty_line_buffer();
            events_.dial_failed(DialOutcome::no_carrier);
        }
        if (line_has(no_answer) && !no_answer_told_) {
            no_answer_told_ = true;
            events_.dial_failed(DialOutcome::no_answer);
        }
        if (line_has(ring)) {
            empty_line_buffer();
            events_.ringing();
            comm_.output("ATA\r");
        }
        if (line_has(connect)) declare_connected();
    }

    // Send rests only while a transfer is under way; the step counters
    // outlive a dropped call and would grey it in every call after.
    if (s.connected == 1 && s.current_mode == OperatingMode::file_transfer)
        f.cmdsend.set_enabled(!transfer_.in_progress());
    else if (s.connected == 1 && s.current_mode == OperatingMode::chat)
        f.cmdsend.set_enabled(true);

    if (s.connected == 0) {
        f.cmdsend.set_enabled(false);
        f.mnumode.set_enabled(false);
    } else {
        f.mnumode.set_enabled(true);
    }

    // A request no Send of ours asked for would start the chosen file on its
    // way, or at least grey Send for the rest of the call.
    if (rx_has(request) && s.current_mode == OperatingMode::file_transfer && transfer_.sending()) {
        ++s.send_block;
        empty_line_buffer();
        transfer_.send_next_block();
    }
    if (rx_has(end_of_block)) {
        ++s.recv_block;
        empty_line_buffer();
        block_timer_.set_enabled(false);
        transfer_.receive_file();
    }

    if (s.connected == 1 && s.current_mode == OperatingMode::chat) {
        show_line_buffer();
        if (chatting && s.recv_block == recv_before) events_.chat_received(arrived);
    } else {
        box_keeps_its_text();
    }
}

} // namespace quillon
