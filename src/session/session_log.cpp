// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session_log.h"

#include "base/private_files.h"
#include "base/hex_codec.h"

namespace quillon {
namespace {

// A received line this long is written even without its CR LF.
constexpr std::size_t longest_pending_line = 4096;

// Length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t utf8_length(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char first = byte(0);
    std::size_t n = first < 0x80 ? 1 : (first >> 5) == 0x6 ? 2 : (first >> 4) == 0xE ? 3 : (first >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || n > text.size()) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return n;
}

// U+0080 to U+009F: a terminal takes them as controls too.
bool is_c1_control(std::string_view text) {
    return text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
}

std::string size_text(const TransferInfo& info) {
    return log_escaped(info.file_name) + ", " + std::to_string(info.size) + " bytes, " + form_word(info.form);
}

const char* outcome_text(TransferOutcome outcome) {
    switch (outcome) {
    case TransferOutcome::complete: return "complete";
    case TransferOutcome::failed: return "failed";
    case TransferOutcome::abandoned: return "abandoned";
    }
    return "";
}

const char* verb(const TransferInfo& info) {
    return info.direction == TransferDirection::sending ? "sending" : "receiving";
}

} // namespace

std::string log_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        // Printable ASCII, most of any chat, goes as it is in one piece.
        std::size_t plain = 0;
        while (plain < text.size() && text[plain] >= 0x20 && text[plain] < 0x7F && text[plain] != '\\')
            ++plain;
        out.append(text.substr(0, plain));
        text.remove_prefix(plain);
        if (text.empty()) break;
        auto c = static_cast<unsigned char>(text[0]);
        std::size_t n = utf8_length(text);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c >= 0x20 && c != 0x7F && n > 0 && !is_c1_control(text))
            out.append(text.substr(0, n));
        else {
            out += "\\x";
            append_hex(out, text.substr(0, 1));
            n = 1;
        }
        text.remove_prefix(n > 0 ? n : 1);
    }
    return out;
}

SessionLog::SessionLog(std::string folder, const SessionClock& clock, EventLoop& loop)
    : folder_(std::move(folder)), clock_(clock), loop_(loop) {}

SessionLog::~SessionLog() { flush(); }

void SessionLog::flush() {
    flush_received();
    flush_file();
}

bool SessionLog::make_folder() { return make_private_folder(folder_); }

void SessionLog::call_began(const Call& call) {
    if (!enabled_) return;
    flush();
    out_.close();
    std::string who = call.direction == CallDirection::outgoing ? "outgoing call to " + log_escaped(call.number) : "incoming call";
    write_line(call.date + " " + call.time, who);
}

void SessionLog::call_connected(const Call&) {
    if (!enabled_) return;
    note("connected");
}

void SessionLog::call_over(const Call& call) {
    if (enabled_)
        note("call ended after " + clock_text(static_cast<double>(call.duration_seconds())) + ": " + log_escaped(call.end_reason));
    if (out_.is_open()) out_ << '\n';
    flush_file();
    out_.close();
}

void SessionLog::chat(CallTracker::ChatDirection direction, std::string_view text) {
    if (!enabled_) return;
    if (direction == CallTracker::ChatDirection::sent) {
        flush_received();
        std::string time = clock_.time_of_day();
        for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos; text.remove_prefix(end + 2))
            write_chat('>', time, text.substr(0, end));
        if (!text.empty()) write_chat('>', time, text);
        return;
    }
    // Received text comes in pieces as the line delivers it; it is written
    // a line at a time, and a line still open is written before anything else.
    if (received_.empty()) received_time_ = clock_.time_of_day();
    // A line break can only end in what came now; the text held before
    // was looked through already.
    std::size_t from = received_.empty() ? 0 : received_.size() - 1;
    received_.append(text);
    for (std::size_t end; (end = received_.find("\r\n", from)) != std::string::npos; from = 0) {
        std::string line = received_.substr(0, end);
        std::string time = received_time_;
        received_.erase(0, end + 2);
        received_time_ = clock_.time_of_day();
        write_chat('<', time, line);
    }
    if (received_.size() >= longest_pending_line) flush_received();
}

void SessionLog::transfer_began(const Transfer& transfer) {
    if (!enabled_) return;
    note(std::string(verb(transfer.info)) + " started: " + size_text(transfer.info));
}

void SessionLog::transfer_over(const Transfer& transfer) {
    if (!enabled_) return;
    std::string line = std::string(verb(transfer.info)) + " ended: " + size_text(transfer.info) + ", " +
                       clock_text(transfer.ended - transfer.began) + ", " + outcome_text(transfer.outcome);
    if (!transfer.detail.empty()) line += ": " + log_escaped(transfer.detail);
    note(line);
}

void SessionLog::message(const std::string& text) {
    if (enabled_) note(log_escaped(text));
}

void SessionLog::note(const std::string& text) {
    flush_received();
    write_line(clock_.time_of_day(), text);
}

void SessionLog::flush_received() {
    if (received_.empty()) return;
    std::string line;
    line.swap(received_);
    write_chat('<', received_time_, line);
}

void SessionLog::write_chat(char mark, const std::string& time, std::string_view text) {
    std::string line(1, mark);
    if (!text.empty()) line += " " + log_escaped(text);
    write_line(time, line);
}

void SessionLog::write_line(const std::string& time, std::string_view text) {
    if (!enabled_) return;
    if (!out_.is_open() && !open()) return;
    out_ << time << ' ' << text << '\n';
    if (!flush_due_) {
        flush_due_ = true;
        flush_timer_ = loop_.start_timer(1000, [this] { flush_file(); });
    }
}

void SessionLog::flush_file() {
    if (flush_due_) loop_.stop_timer(flush_timer_);
    flush_due_ = false;
    if (!out_.is_open()) return;
    out_.flush();
    if (!out_) {
        out_.close();
        fail(folder_);
    }
}

// The file of the day the call began; outside a call, today's.
bool SessionLog::open() {
    std::string path = folder_ + "/" + clock_.date() + ".log";
    out_.clear();
    if (make_folder()) {
        make_private_file(path);
        out_.open(path, std::ios::binary | std::ios::app);
    }
    if (out_.is_open()) return true;
    fail(path);
    return false;
}

void SessionLog::fail(const std::string& path) {
    if (reported_) return;
    reported_ = true;
    if (on_failure) on_failure("The session log cannot be written to " + path + ". Calls go on without it.");
}

} // namespace quillon
