// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/conversation.h"

#include "session/modem_words_holdback.h"

#include <algorithm>

namespace quillon {
namespace {

using Side = CallTracker::ChatDirection;

// Received text is the end of line_buffer as it is told, but for what the
// call tracker holds back after it.
constexpr std::size_t held_back = ModemWordsHoldback::modem_words.size();

// Where text ends a string, give or take what was held back after it.
std::size_t tail_position(std::string_view in, std::string_view text) {
    std::size_t from = in.size() > text.size() + held_back ? in.size() - text.size() - held_back : 0;
    std::size_t at = in.substr(from).rfind(text);
    return at == std::string_view::npos ? at : from + at;
}

} // namespace

void Conversation::call_connected(const Call& call) {
    std::string with = call.direction == CallDirection::incoming
                           ? (call.number.empty() ? std::string("Incoming call") : "Incoming call from " + call.number)
                           : "Call with " + call.number;
    calls_.push_back({with + ", " + call.date + " " + call.time, {}});
    received_open_ = after_cr_ = false;
    if (on_change) on_change();
}

void Conversation::chat(Side side, std::string_view text) {
    if (text.empty()) return;
    if (side == Side::sent) {
        own_.append(text);
        add(side, 0, own_.size() - text.size(), own_.size(), true);
        received_open_ = after_cr_ = false;
    } else {
        add_received(text);
    }
    if (on_change) on_change();
}

void Conversation::add_received(std::string_view text) {
    std::size_t source = 0, begin = 0;
    const std::size_t line_buffer_source = kept_.size() + 1;
    if (std::size_t at = tail_position(line_buffer_, text); at != std::string_view::npos) {
        // Quoted where it is; kept with line_buffer's string when that goes.
        source = line_buffer_source;
        begin = at;
        quotes_line_buffer_ = true;
    } else if (std::size_t in_kept = kept_.empty() ? std::string_view::npos : tail_position(*kept_.back(), text);
               in_kept != std::string_view::npos) {
        // Held back until the call's end let line_buffer go.
        source = kept_.size();
        begin = in_kept;
    } else {
        own_.append(text);
        begin = own_.size() - text.size();
    }
    // Where the first message that begins in this piece begins, if one does.
    std::size_t starts = std::string_view::npos;
    if (!received_open_) starts = 0;
    else if (after_cr_ && text.front() == '\n') starts = 1;
    else if (std::size_t crlf = text.find("\r\n"); crlf != std::string_view::npos) starts = crlf + 2;
    if (starts >= text.size()) {
        add(Side::received, source, begin, begin + text.size(), false);
    } else {
        if (starts > 0) add(Side::received, source, begin, begin + starts, false);
        add(Side::received, source, begin + starts, begin + text.size(), true);
    }
    received_open_ = !(text.ends_with("\r\n") || (text == "\n" && after_cr_));
    after_cr_ = text.back() == '\r';
}

// A stretch grows while its bytes follow on in one source, but a message
// that begins at a later second begins a stretch of its own.
void Conversation::add(Side side, std::size_t source, std::size_t begin, std::size_t end, bool starts_message) {
    // Chat outside a call (none is tracked when the program starts in one)
    // still has a place.
    if (calls_.empty()) calls_.push_back({"Call", {}});
    std::vector<Stretch>& stretches = calls_.back().stretches;
    if (side == Side::received && !stretches.empty()) {
        Stretch& last = stretches.back();
        const bool follows_on = last.side == side && last.source == source && last.end == begin;
        if (follows_on && (!starts_message || last.time == clock_.time_of_day())) {
            last.end = end;
            return;
        }
    }
    stretches.push_back({clock_.time_of_day(), side, source, begin, end});
}

void Conversation::line_buffer_let_go(const SharedText& text) {
    kept_.push_back(text);
    quotes_line_buffer_ = false;
}

std::string_view Conversation::text_of(const Stretch& stretch) const {
    std::string_view in = stretch.source == 0              ? std::string_view(own_)
                          : stretch.source <= kept_.size() ? std::string_view(*kept_[stretch.source - 1])
                                                           : std::string_view(line_buffer_);
    const std::size_t end = std::min(stretch.end, in.size()), begin = std::min(stretch.begin, end);
    return in.substr(begin, end - begin);
}

// The messages of a stretch: sent text is one, received text is cut at its
// line breaks, the first piece continuing the message still open.
void Conversation::add_messages(CallPart& part, const Stretch& stretch, bool& open, std::string_view text) {
    if (stretch.side == Side::sent) {
        part.messages.push_back({stretch.time, stretch.side, std::string(text)});
        open = false;
        return;
    }
    while (!text.empty()) {
        if (!open) part.messages.push_back({stretch.time, stretch.side, ""});
        std::string& message = part.messages.back().text;
        if (message.ends_with('\r') && text.front() == '\n') {
            // The line's CR came in the stretch before.
            message.pop_back();
            text.remove_prefix(1);
            open = false;
            continue;
        }
        std::size_t end = text.find("\r\n");
        open = end == std::string_view::npos;
        message.append(text.substr(0, end));
        text.remove_prefix(open ? text.size() : end + 2);
    }
}

std::vector<Conversation::CallPart> Conversation::calls() const {
    std::vector<CallPart> parts;
    for (const CallStretches& call : calls_) {
        CallPart& part = parts.emplace_back(CallPart{call.heading, {}});
        bool open = false;
        for (const Stretch& stretch : call.stretches)
            add_messages(part, stretch, open, text_of(stretch));
    }
    return parts;
}

std::string Conversation::text() const {
    std::string out;
    for (const CallPart& call : calls()) {
        if (!out.empty()) out += "\r\n";
        out += call.heading + "\r\n";
        for (const Message& m : call.messages)
            out += m.time + (m.side == Side::sent ? " You: " : " Other side: ") + m.text + "\r\n";
    }
    return out;
}

} // namespace quillon
